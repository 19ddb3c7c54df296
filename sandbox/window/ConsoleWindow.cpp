#include "window/ConsoleWindow.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <imgui.h>

#include "window/NameCompletion.h"

namespace sandbox {

void ConsoleWindow::Type(sim::Console& console, const std::string& line) {
    history_.Add(line);
    console.Type(line);
}

int ConsoleWindow::EditLine(ImGuiInputTextCallbackData* data) {
    ConsoleWindow& self = *static_cast<ConsoleWindow*>(data->UserData);
    std::optional<std::string> replacement;
    if (data->EventFlag == ImGuiInputTextFlags_CallbackCompletion) {
        std::vector<std::string> names = self.editing_->CommandNames();
        for (const auto& [name, variable] : self.editing_->Variables()) {
            names.push_back(name);
        }
        Completion completion =
            CompleteName(std::string_view(data->Buf, std::size_t(data->BufTextLen)), names);
        if (!completion.candidates.empty()) {
            std::string list;
            for (const std::string& candidate : completion.candidates) {
                list += "  " + candidate;
            }
            self.editing_->output.push_back(list);
        }
        replacement = std::move(completion.line);
    } else if (data->EventFlag == ImGuiInputTextFlags_CallbackHistory) {
        replacement =
            data->EventKey == ImGuiKey_UpArrow ? self.history_.Older() : self.history_.Newer();
    }
    if (replacement) {
        data->DeleteChars(0, data->BufTextLen);
        data->InsertChars(0, replacement->c_str());
    }
    return 0;
}

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
        editing_ = &console;
        if (ImGui::InputText("##line", input_.data(), input_.size(),
                             ImGuiInputTextFlags_EnterReturnsTrue |
                                 ImGuiInputTextFlags_CallbackCompletion |
                                 ImGuiInputTextFlags_CallbackHistory,
                             &ConsoleWindow::EditLine, this)) {
            if (input_[0] != '\0') {
                Type(console, input_.data());
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
