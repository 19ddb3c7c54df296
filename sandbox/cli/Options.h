#pragma once

#include <optional>
#include <string>

#include "session/SessionOptions.h"

namespace sandbox {

// What the command line gives each hosting subcommand; CommandLine.h reads them.
struct RenderOptions {
    SessionOptions session;
    std::optional<int> frames;      // instead of the scenario's count
    std::optional<std::string> out; // quellmark.png, or quellmark-frames/ for several frames
};

struct WindowOptions {
    SessionOptions session;
    std::optional<int> frames; // quit after this many; none: run until closed
    std::optional<std::string> script;
};

// `scenario` takes no options: it prints the embedded default.
struct ScenarioOptions {};

} // namespace sandbox
