#pragma once

#include <array>
#include <optional>

#include <imgui.h>

#include "sim/Console.h"
#include "window/ConsoleHistory.h"

namespace sandbox {

// The host's console as a Dear ImGui window: what the console printed, and a
// line to type commands into ("qm_enabled 0", "writeconfig"), run on Enter.
// Up and Down bring back earlier lines, Tab completes a command's or a
// variable's name.
class ConsoleWindow {
public:
    // Call inside a frame. Returns true while the input line has the keyboard.
    bool Draw(sim::Console& console, float canvasWidth, float canvasHeight);

    // Runs `line` as if typed and entered: echoed, run, and kept for Up.
    void Type(sim::Console& console, const std::string& line);

    // Where a click puts the keyboard on the input line; nothing before the
    // first Draw.
    std::optional<ImVec2> InputLineCentre() const { return inputLineCentre_; }

private:
    // Dear ImGui's callback for Tab, Up and Down on the input line.
    static int EditLine(ImGuiInputTextCallbackData* data);

    ConsoleHistory history_;
    sim::Console* editing_ = nullptr; // the console being drawn, for EditLine
    std::array<char, 256> input_{};
    std::size_t shownLines_ = 0;
    std::optional<ImVec2> inputLineCentre_;
};

} // namespace sandbox
