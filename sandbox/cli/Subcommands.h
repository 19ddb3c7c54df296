#pragma once

#include <span>
#include <string>

#include "ExitStatus.h"

namespace sandbox {

// A subcommand's arguments, after its name.
using Arguments = std::span<const std::string>;

// Each subcommand in its own file; each returns the process's exit status and
// throws InputError (status 2) for bad input.
int RunRender(Arguments arguments);   // RenderCommand.cpp
int RunWindow(Arguments arguments);   // WindowCommand.cpp
int RunValidate(Arguments arguments); // ValidateCommand.cpp

} // namespace sandbox
