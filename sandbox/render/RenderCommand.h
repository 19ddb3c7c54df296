#pragma once

#include <optional>
#include <string>

#include "session/SessionOptions.h"

namespace sandbox {

class Interruption;

// What `quellmark-sandbox render` is given.
struct RenderOptions {
    SessionOptions session;
    std::optional<int> frames;      // instead of the scenario's count
    std::optional<std::string> out; // quellmark.png, or quellmark-frames/ for several frames
};

// Renders the scenario's frames headless to the output `out` names. Returns
// the exit status; throws InputError for bad input before anything is
// written, and Interrupted when asked to stop (the output's temporaries
// removed, what was there before left as it was).
int RunRender(const RenderOptions& options, const Interruption& interruption);

} // namespace sandbox
