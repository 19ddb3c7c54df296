#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sandboxtest {

// What runs `quellmark-sandbox window` where it has a display to open its
// window on, or nothing (with `why`) where this machine has none. On Linux
// that is a virtual X display from xvfb-run, put in front of the program; on
// Windows the desktop itself (no wrapper), except under Wine without an X
// display to show Windows' windows on.
std::optional<std::vector<std::string>> WindowRunner(std::string& why);

// WindowRunner's wrapper, for tests that run only where there is a display
// (their main skips them otherwise).
const std::vector<std::string>& OnADisplay();

} // namespace sandboxtest
