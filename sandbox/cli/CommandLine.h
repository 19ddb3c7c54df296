#pragma once

#include <span>
#include <string>
#include <variant>

#include "render/RenderCommand.h"
#include "scenario/ScenarioCommand.h"
#include "validate/ValidateOptions.h"
#include "window/WindowCommand.h"

namespace sandbox {

// The command line answered on its own: help or the version (status 0, text
// for stdout), or refused (status 2, the reason for stderr).
struct Answer {
    int status = 0;
    std::string out;
    std::string err;
};

// What `quellmark-sandbox ...` asks for: a subcommand to run with its options,
// or an answer already given.
using Request =
    std::variant<RenderOptions, WindowOptions, ScenarioOptions, validate::ValidateOptions, Answer>;

// Reads the arguments after the program's name. Every subcommand takes
// -h/--help; the program takes --version. A value that is refused, an option
// the command does not know or a single-valued option given twice make an
// Answer with status 2 and a message that names the command and the option.
Request ParseCommandLine(std::span<const std::string> arguments);

} // namespace sandbox
