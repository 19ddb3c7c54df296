#pragma once

#include <memory>
#include <string>

#include "sdk/BakkesModPlugin.h"
#include "sdk/PluginDescriptor.h"
#include "sdk/PluginSettingsWindow.h"
#include "sim/Host.h"
#include "sim/LoadedModule.h"

namespace validate {

// The module under test, opened into a simulated host the way the host loader
// opens it and shut down in the host's order: onUnload, the module's release
// function, the plugin's callbacks dropped from the host, the module unloaded.
// Steps a check wants to take out of that order it takes through Module() and
// the host itself. Failures to open fail the check.
class HostedModule {
public:
    HostedModule(const std::string& path, sim::Host& host);
    ~HostedModule();
    HostedModule(const HostedModule&) = delete;
    HostedModule& operator=(const HostedModule&) = delete;

    const PluginDescriptor& Descriptor() const { return module_->Descriptor(); }
    sim::LoadedModule& Module() { return *module_; }
    bool Loaded() const { return module_ != nullptr; }

    // Calls the factory and fills in the plugin's two host references.
    BakkesMod::Plugin::BakkesModPlugin& Create();
    // Create, then onLoad.
    BakkesMod::Plugin::BakkesModPlugin& Load();
    // The plugin's settings page; fails the check when it has none.
    BakkesMod::Plugin::PluginSettingsWindow& Panel();

    // The host's shutdown order; does nothing once the module is gone.
    void Unload();
    // Unloads the module without onUnload or the release function: whatever
    // the module still holds dies with its statics.
    void UnloadModuleOnly();

private:
    sim::Host& host_;
    std::unique_ptr<sim::LoadedModule> module_;
    BakkesMod::Plugin::BakkesModPlugin* plugin_ = nullptr;
};

// True while the module at `path` is mapped in this process.
bool ModuleIsMapped(const std::string& path);

} // namespace validate
