#pragma once

#include <optional>
#include <string>

#include "session/SessionOptions.h"

namespace sandbox {

class Interruption;

// What `quellmark-sandbox window` is given.
struct WindowOptions {
    SessionOptions session;
    std::optional<int> frames; // quit after this many; none: run until closed
    std::optional<std::string> script;
};

// Hosts the plugin in an interactive window until it is closed, the script
// quits or the frame limit is reached. Returns the exit status; throws
// InputError for bad input (a script, a scenario, a module), before the
// window opens.
int RunWindow(const WindowOptions& options, const Interruption& interruption);

} // namespace sandbox
