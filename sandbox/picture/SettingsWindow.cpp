#include "picture/SettingsWindow.h"

#include "sdk/PluginSettingsWindow.h"

namespace sandbox {

PanelWidget DrawSettingsWindow(BakkesMod::Plugin::PluginSettingsWindow& panel,
                               const std::string& title) {
    // A size given before the first Begin makes the window show on its very
    // first frame; left to auto-fit it would stay hidden for one.
    ImGui::SetNextWindowPos(ImVec2(16.0f, 16.0f), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(260.0f, 90.0f), ImGuiCond_FirstUseEver);
    PanelWidget widget;
    if (ImGui::Begin(title.c_str())) {
        const float before = ImGui::GetCursorPosY();
        panel.DrawSettingsPanel();
        if (ImGui::GetCursorPosY() != before) {
            widget = {true, ImGui::GetItemRectMin(), ImGui::GetItemRectMax()};
        }
    }
    ImGui::End();
    return widget;
}

} // namespace sandbox
