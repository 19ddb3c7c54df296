#pragma once

#include <cstdint>
#include <string>

#include "sdk/PluginSettingsWindow.h"

// The parts of a settings page every plugin of this module shares: its title
// and taking over the host's Dear ImGui context. The page's content is the
// plugin's own DrawSettingsPanel.
class SettingsWindowBase : public BakkesMod::Plugin::PluginSettingsWindow {
public:
    std::string GetPanelName() override;
    void SetUiContext(std::uintptr_t context) override;
};
