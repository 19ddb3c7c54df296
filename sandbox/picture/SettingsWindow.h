#pragma once

#include <string>

#include <imgui.h>

namespace BakkesMod::Plugin {
class PluginSettingsWindow;
}

namespace sandbox {

// Where the panel's last widget ended up this frame, so scripted input can aim
// at it; `drawn` is false when the panel drew nothing.
struct PanelWidget {
    bool drawn = false;
    ImVec2 min;
    ImVec2 max;
};

// The host's settings window: a Dear ImGui window titled by the plugin's panel
// name, holding what the plugin's DrawSettingsPanel draws. Call inside a frame.
PanelWidget DrawSettingsWindow(BakkesMod::Plugin::PluginSettingsWindow& panel,
                               const std::string& title);

} // namespace sandbox
