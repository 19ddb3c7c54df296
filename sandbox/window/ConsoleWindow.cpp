#include "ConsoleWindow.h"

#include <algorithm>

#include <imgui.h>

namespace sandbox {

bool ConsoleWindow::Draw(sim::Console& console, float canvasWidth, float canvasHeight) {
    constexpr float kHeight = 150.0f;
    ImGui::SetNextWindowPos(ImVec2(16.0f, canvasHeight - kHeight - 28.0f), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(std::min(560.0f, canvasWidth - 32.0f), kHeight),
                             ImGuiCond_FirstUseEver);
    bool typing = false;
    if (ImGui::Begin("Console")) {
        const float inputHeight = ImGui::GetFrameHeightWithSpacing();
        ImGui::BeginChild("output", ImVec2(0.0f, -inputHeight));
        for (const std::string& line : console.output) {
            ImGui::TextUnformatted(line.c_str());
        }
        if (shownLines_ != console.output.size()) {
            ImGui::SetScrollHereY(1.0f);
            shownLines_ = console.output.size();
        }
        ImGui::EndChild();

        ImGui::SetNextItemWidth(-1.0f);
        if (ImGui::InputText("##line", input_.data(), input_.size(),
                             ImGuiInputTextFlags_EnterReturnsTrue)) {
            if (input_[0] != '\0') {
                console.Type(input_.data());
            }
            input_[0] = '\0';
            ImGui::SetKeyboardFocusHere(-1);
        }
        typing = ImGui::IsItemActive();
        const ImVec2 min = ImGui::GetItemRectMin();
        const ImVec2 max = ImGui::GetItemRectMax();
        inputLineCentre_ = ImVec2((min.x + max.x) * 0.5f, (min.y + max.y) * 0.5f);
    }
    ImGui::End();
    return typing;
}

} // namespace sandbox
