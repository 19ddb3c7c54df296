#pragma once

#include <span>
#include <string>

namespace sandbox {

// A subcommand's arguments, after its name.
using Arguments = std::span<const std::string>;

// Each subcommand in its own file; each returns the process's exit status and
// throws InputError (status 2) for bad input.
int RunRender(Arguments arguments);   // RenderCommand.cpp
int RunWindow(Arguments arguments);   // WindowCommand.cpp
int RunValidate(Arguments arguments); // Validate.cpp

// The exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitBadInput = 2;

} // namespace sandbox
