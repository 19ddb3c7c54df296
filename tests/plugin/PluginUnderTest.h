#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "sdk/BakkesModPlugin.h"
#include "sdk/PluginSettingsWindow.h"
#include "sim/Host.h"
#include "sim/HostedPlugin.h"

// The built module in a simulated host, through the host's own load and
// unload sequence (sim::HostedPlugin), for tests to drive; its errors become
// test failures. Unloads in the host's order when it goes.
class PluginUnderTest {
public:
    // Declared first, so that it outlives the module and everything it holds.
    sim::Host host;

    PluginUnderTest() {
        std::string error;
        hosted_ = sim::HostedPlugin::Open(QUELLMARK_MODULE_PATH, host, error);
        if (!hosted_) {
            ADD_FAILURE() << error;
        }
    }

    const sim::LoadedModule& Module() const { return hosted_->Module(); }
    // The host's copy of the plugin; null before Create and once dropped.
    BakkesMod::Plugin::BakkesModPlugin* Plugin() const { return hosted_->Plugin(); }

    // The factory, the host's copy and the two host references, as the host
    // does before onLoad.
    BakkesMod::Plugin::BakkesModPlugin& Create() { return Checked(hosted_->Create(error_)); }
    // Create, the UI context (0: none) handed over, then onLoad.
    BakkesMod::Plugin::BakkesModPlugin& Load(std::uintptr_t uiContext = 0) {
        return Checked(hosted_->Load(uiContext, error_));
    }
    BakkesMod::Plugin::PluginSettingsWindow& Panel() { return *hosted_->Panel(); }
    // Lets the host's copy go without onUnload.
    void DropPlugin() { hosted_->DropPlugin(); }
    void Unload() { hosted_->Unload(); }

    // Bound flags of a console variable: the plugin's `enabled` is the one it binds.
    std::vector<std::shared_ptr<bool>>& Bindings(const char* name) {
        return host.console.Find(name)->bindings;
    }

private:
    BakkesMod::Plugin::BakkesModPlugin& Checked(BakkesMod::Plugin::BakkesModPlugin* plugin) {
        if (plugin == nullptr) {
            throw std::runtime_error(error_);
        }
        return *plugin;
    }

    std::unique_ptr<sim::HostedPlugin> hosted_;
    std::string error_;
};
