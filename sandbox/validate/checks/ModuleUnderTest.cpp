#include "validate/checks/ModuleUnderTest.h"

#include "validate/checks/Check.h"

namespace validate {

std::unique_ptr<sim::HostedPlugin> OpenModule(const std::string& path, sim::Host& host) {
    std::string error;
    std::unique_ptr<sim::HostedPlugin> hosted = sim::HostedPlugin::Open(path, host, error);
    if (!hosted) {
        Fail("the module was refused: " + error);
    }
    return hosted;
}

BakkesMod::Plugin::BakkesModPlugin& CreatePlugin(sim::HostedPlugin& hosted) {
    std::string error;
    BakkesMod::Plugin::BakkesModPlugin* plugin = hosted.Create(error);
    Require(plugin != nullptr, error);
    return *plugin;
}

BakkesMod::Plugin::BakkesModPlugin& LoadPlugin(sim::HostedPlugin& hosted,
                                               std::uintptr_t uiContext) {
    std::string error;
    BakkesMod::Plugin::BakkesModPlugin* plugin = hosted.Load(uiContext, error);
    Require(plugin != nullptr, error);
    return *plugin;
}

BakkesMod::Plugin::PluginSettingsWindow& PanelOf(const sim::HostedPlugin& hosted) {
    Require(hosted.Plugin() != nullptr, "no plugin has been created");
    BakkesMod::Plugin::PluginSettingsWindow* panel = hosted.Panel();
    Require(panel != nullptr, "the plugin has no settings window");
    return *panel;
}

std::unique_ptr<sim::HostedPlugin> LoadSwitchedOn(const std::string& path, sim::Host& host) {
    host.console.Preset("qm_enabled", "1");
    std::unique_ptr<sim::HostedPlugin> hosted = OpenModule(path, host);
    LoadPlugin(*hosted);
    return hosted;
}

void StagePlainFrame(sim::Host& host) {
    host.mode = sim::GameMode::Freeplay;
    host.canvasSize = {1600, 900};
    host.ball = sim::Actor{{0.0f, 0.0f, 93.0f}, {}, 0.0f};
    host.camera = sim::Actor{{0.0f, -6000.0f, 800.0f}, {-2000, 16384, 0}, 90.0f};
}

} // namespace validate
