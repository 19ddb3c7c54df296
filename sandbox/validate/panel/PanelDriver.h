#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sdk/PluginSettingsWindow.h"
#include "sim/Host.h"

struct ImGuiContext;

namespace validate {

// The host's side of the settings window, headless: a Dear ImGui context of
// its own (fonts built, no ini file), UI frames that put the plugin's panel in
// a window, and a mouse that can click where the panel's checkbox was drawn.
class PanelDriver {
public:
    PanelDriver();
    ~PanelDriver();
    PanelDriver(const PanelDriver&) = delete;
    PanelDriver& operator=(const PanelDriver&) = delete;

    // As SetUiContext takes it.
    std::uintptr_t Handle() const { return reinterpret_cast<std::uintptr_t>(context_); }

    // One UI frame with the panel open; returns the SDK calls the panel made.
    std::vector<std::string> Frame(BakkesMod::Plugin::PluginSettingsWindow& panel, sim::Host& host,
                                   bool pressed = false);
    // Presses, then releases the mouse over the last item the panel drew; the
    // toggle lands on the release. Returns the calls of the releasing frame.
    std::vector<std::string> Click(BakkesMod::Plugin::PluginSettingsWindow& panel, sim::Host& host);

private:
    ImGuiContext* context_;
    float itemX_ = -1.0f;
    float itemY_ = -1.0f;
    bool aiming_ = false;
};

} // namespace validate
