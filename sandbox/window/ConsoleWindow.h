#pragma once

#include <array>
#include <optional>

#include <imgui.h>

#include "sim/Console.h"

namespace sandbox {

// The host's console as a Dear ImGui window: what the console printed, and a
// line to type commands into ("qm_enabled 0", "writeconfig"), run on Enter.
class ConsoleWindow {
public:
    // Call inside a frame. Returns true while the input line has the keyboard.
    bool Draw(sim::Console& console, float canvasWidth, float canvasHeight);

    // Where a click puts the keyboard on the input line; nothing before the
    // first Draw.
    std::optional<ImVec2> InputLineCentre() const { return inputLineCentre_; }

private:
    std::array<char, 256> input_{};
    std::size_t shownLines_ = 0;
    std::optional<ImVec2> inputLineCentre_;
};

} // namespace sandbox
