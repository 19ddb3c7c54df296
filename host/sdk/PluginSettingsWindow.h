#pragma once

#include <cstdint>
#include <string>

namespace BakkesMod::Plugin {

// A plugin that draws a page of the host's settings window. The host finds it
// on the plugin by dynamic_cast, after the factory. Not exported from modules:
// the cast matches the type by its name across modules, and a module's
// boundary is the plugin base class alone.
//
// Dear ImGui across the module boundary: a module links Dear ImGui of its own,
// of the host's version (the context's layout must agree), and draws into the
// host's context, which it makes current in its copy with SetUiContext. Memory
// one copy allocates in the context the other frees, so both copies' allocator
// functions (ImGui::SetAllocatorFunctions) must work on one heap: either both
// sides' defaults reach the same malloc and free, or the module installs the
// host's pair before it first draws.
class PluginSettingsWindow {
public:
    // Destroyed with the plugin, by the shared reference's deleter.
    virtual ~PluginSettingsWindow() = default;
    // Draws the page's widgets into the current context. Called on the UI
    // thread, once per UI frame while the page is open, between the host's
    // NewFrame and Render, inside a window the host began. Without a context
    // handed over it must draw nothing.
    virtual void DrawSettingsPanel() = 0;
    // Title of the plugin's page, a string the caller owns; on the UI thread.
    virtual std::string GetPanelName() = 0;
    // `context` is the host's ImGuiContext*, handed over once before onLoad
    // and any draw (a host without a UI never calls this). The plugin makes it
    // current and never creates or destroys a context; the host keeps it alive
    // until the module is unloaded.
    virtual void SetUiContext(std::uintptr_t context) = 0;
};

} // namespace BakkesMod::Plugin
