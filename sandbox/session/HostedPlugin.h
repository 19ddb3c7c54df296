#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "sdk/BakkesModPlugin.h"
#include "sdk/PluginDescriptor.h"
#include "sdk/PluginSettingsWindow.h"
#include "sim/Host.h"
#include "sim/LoadedModule.h"

namespace sandbox {

// A plugin module loaded and started the way the host does it, and shut down
// the same way when this goes: onUnload, the host's copy dropped, the module's
// release function, the plugin's callbacks dropped from the host, the module
// unloaded. `host` and the UI context must outlive it.
class HostedPlugin {
public:
    // Opens the module, reads its descriptor, calls the factory, fills the two
    // host references, hands over the UI context and calls onLoad. On a
    // refused module returns nothing with `error` saying why.
    static std::unique_ptr<HostedPlugin> Load(const std::string& modulePath, sim::Host& host,
                                              std::uintptr_t uiContext, std::string& error);
    ~HostedPlugin();
    HostedPlugin(const HostedPlugin&) = delete;
    HostedPlugin& operator=(const HostedPlugin&) = delete;

    const PluginDescriptor& Descriptor() const { return module_->Descriptor(); }
    const std::string& ModulePath() const { return module_->Path(); }
    // The plugin's settings page, or null when it has none.
    BakkesMod::Plugin::PluginSettingsWindow* Panel() const { return panel_; }
    const std::string& PanelName() const { return panelName_; }

private:
    HostedPlugin(sim::Host& host, std::unique_ptr<sim::LoadedModule> module);

    sim::Host& host_;
    std::unique_ptr<sim::LoadedModule> module_;
    std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin> plugin_;
    BakkesMod::Plugin::PluginSettingsWindow* panel_ = nullptr;
    std::string panelName_;
};

} // namespace sandbox
