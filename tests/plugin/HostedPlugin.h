#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "sdk/BakkesModPlugin.h"
#include "sdk/PluginSettingsWindow.h"
#include "sim/Host.h"
#include "sim/LoadedModule.h"

// The built module, loaded at run time into a simulated host the way the real
// host loads it, for tests to drive. Unloads in the host's order when it goes.
class HostedPlugin {
public:
    sim::Host host;
    std::unique_ptr<sim::LoadedModule> module;
    BakkesMod::Plugin::BakkesModPlugin* plugin = nullptr;

    HostedPlugin() {
        std::string error;
        module = sim::LoadedModule::Open(QUELLMARK_MODULE_PATH, error);
        if (!module) {
            ADD_FAILURE() << error;
        }
    }

    ~HostedPlugin() { Unload(); }

    // Creates the plugin and fills in its host references, as the host does
    // before onLoad.
    BakkesMod::Plugin::BakkesModPlugin& Create() {
        plugin = module->Descriptor().factory()->get();
        plugin->cvarManager = host.MakeCVarManager();
        plugin->gameWrapper = host.MakeGameWrapper();
        return *plugin;
    }

    BakkesMod::Plugin::BakkesModPlugin& Load() {
        Create().onLoad();
        return *plugin;
    }

    BakkesMod::Plugin::PluginSettingsWindow& Panel() {
        return *dynamic_cast<BakkesMod::Plugin::PluginSettingsWindow*>(plugin);
    }

    void Unload() {
        if (!module) {
            return;
        }
        if (plugin != nullptr) {
            plugin->onUnload();
            plugin = nullptr;
        }
        module->Descriptor().release();
        host.ReleasePluginCallbacks();
        module.reset();
    }

    // Bound flags of a console variable: the plugin's `enabled` is the one it binds.
    std::vector<std::shared_ptr<bool>>& Bindings(const char* name) {
        return host.console.Find(name)->bindings;
    }
};
