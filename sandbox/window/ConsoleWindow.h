#pragma once

#include <array>

#include "sim/Console.h"

namespace sandbox {

// The host's console as a Dear ImGui window: what the console printed, and a
// line to type commands into ("qm_enabled 0", "writeconfig"), run on Enter.
class ConsoleWindow {
public:
    // Call inside a frame. Returns true while the input line has the keyboard.
    bool Draw(sim::Console& console, float canvasWidth, float canvasHeight);

private:
    std::array<char, 256> input_{};
    std::size_t shownLines_ = 0;
};

} // namespace sandbox
