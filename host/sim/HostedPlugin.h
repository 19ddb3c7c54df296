#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "sdk/BakkesModPlugin.h"
#include "sdk/PluginDescriptor.h"
#include "sdk/PluginSettingsWindow.h"
#include "sim/LoadedModule.h"

namespace sim {

class Host;

// A plugin module in a host, loaded and unloaded in the order the SDK lays
// down (sdk/BakkesModPlugin.h), done here once for every host of ours:
//
//   Open    open the module and check its descriptor (LoadedModule::Open);
//   Create  call the factory, keep the host's copy of the plugin, fill in its
//           two host references;
//   Start   hand over the UI context to its settings page, then onLoad;
//   Unload  onUnload, drop the host's copy, the module's release function,
//           drop the plugin's callbacks from the host, close the module.
//
// Load is Create and Start. Callers that step out of this order on purpose
// (a validator, tests) use the pieces; each turns the errors into its own
// form. `host` must outlive this.
class HostedPlugin {
public:
    // Opens and checks the module; nothing in it is called yet. On a refused
    // module returns nothing, with `error` saying why.
    static std::unique_ptr<HostedPlugin> Open(const std::string& path, Host& host,
                                              std::string& error);
    // Unload.
    ~HostedPlugin();
    HostedPlugin(const HostedPlugin&) = delete;
    HostedPlugin& operator=(const HostedPlugin&) = delete;

    const PluginDescriptor& Descriptor() const { return module_->Descriptor(); }
    const LoadedModule& Module() const { return *module_; }
    const std::string& ModulePath() const { return module_->Path(); }
    // False once the module is closed.
    bool Loaded() const { return module_ != nullptr; }

    // Calls the factory, keeps the host's copy of the plugin and fills in its
    // host references. Null when the factory made no plugin, with `error`
    // saying how: "the factory returned a null address" or "the factory left
    // the module's reference empty".
    BakkesMod::Plugin::BakkesModPlugin* Create(std::string& error);
    // Hands `uiContext` (the host's ImGuiContext*) to the plugin's settings
    // page, if it has one, then calls onLoad. A host without a UI passes 0 and
    // hands nothing over. The context must outlive the module.
    void Start(std::uintptr_t uiContext);
    // Create, then Start.
    BakkesMod::Plugin::BakkesModPlugin* Load(std::uintptr_t uiContext, std::string& error);

    // The host's copy of the plugin; null before Create and once dropped.
    BakkesMod::Plugin::BakkesModPlugin* Plugin() const { return plugin_.get(); }
    // The plugin's settings page, or null when it has none.
    BakkesMod::Plugin::PluginSettingsWindow* Panel() const;

    // Drops the host's copy without onUnload; the plugin dies with its last
    // owner, which may be the module's own reference.
    void DropPlugin() { plugin_.reset(); }
    // The host's unload order; does nothing once the module is closed.
    void Unload();
    // Closes the module without onUnload and without its release function,
    // as a host that crashes out of a plugin would: whatever the module still
    // holds dies with its statics. The host's copy and the plugin's callbacks
    // go first, since their code lives in the module.
    void CloseModuleOnly();

private:
    HostedPlugin(Host& host, std::unique_ptr<LoadedModule> module);

    Host& host_;
    std::unique_ptr<LoadedModule> module_;
    std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin> plugin_;
};

} // namespace sim
