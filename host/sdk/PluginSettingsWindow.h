#pragma once

#include <cstdint>
#include <string>

namespace BakkesMod::Plugin {

// A plugin that draws a page of the host's settings window. The host finds it
// on the plugin instance, hands over its Dear ImGui context with SetUiContext
// before the first draw, and calls DrawSettingsPanel on every UI frame while
// the page is open, on its UI thread.
//
// Not exported from modules: the host's dynamic_cast matches the type by its
// name across modules, and a module's boundary is the plugin base class alone.
class PluginSettingsWindow {
public:
    virtual ~PluginSettingsWindow() = default;
    virtual void DrawSettingsPanel() = 0;
    // Title of the plugin's page.
    virtual std::string GetPanelName() = 0;
    // `context` is the host's ImGuiContext*; the plugin makes it current and
    // never creates or destroys one of its own.
    virtual void SetUiContext(std::uintptr_t context) = 0;
};

} // namespace BakkesMod::Plugin
