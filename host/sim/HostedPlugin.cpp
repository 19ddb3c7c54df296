#include "sim/HostedPlugin.h"

#include "sim/Host.h"

namespace sim {

std::unique_ptr<HostedPlugin> HostedPlugin::Open(const std::string& path, Host& host,
                                                 std::string& error) {
    std::unique_ptr<LoadedModule> module = LoadedModule::Open(path, error);
    if (!module) {
        return nullptr;
    }
    return std::unique_ptr<HostedPlugin>(new HostedPlugin(host, std::move(module)));
}

HostedPlugin::HostedPlugin(Host& host, std::unique_ptr<LoadedModule> module)
    : host_(host), module_(std::move(module)) {}

HostedPlugin::~HostedPlugin() {
    Unload();
}

BakkesMod::Plugin::BakkesModPlugin* HostedPlugin::Create(std::string& error) {
    std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>* reference = Descriptor().factory();
    if (reference == nullptr) {
        error = "the factory returned a null address";
        return nullptr;
    }
    if (*reference == nullptr) {
        error = "the factory left the module's reference empty";
        return nullptr;
    }
    plugin_ = *reference;
    plugin_->cvarManager = host_.MakeCVarManager();
    plugin_->gameWrapper = host_.MakeGameWrapper();
    return plugin_.get();
}

void HostedPlugin::Start(std::uintptr_t uiContext) {
    BakkesMod::Plugin::PluginSettingsWindow* panel = Panel();
    if (panel != nullptr && uiContext != 0) {
        panel->SetUiContext(uiContext);
    }
    plugin_->onLoad();
}

BakkesMod::Plugin::BakkesModPlugin* HostedPlugin::Load(std::uintptr_t uiContext,
                                                       std::string& error) {
    if (Create(error) == nullptr) {
        return nullptr;
    }
    Start(uiContext);
    return plugin_.get();
}

BakkesMod::Plugin::PluginSettingsWindow* HostedPlugin::Panel() const {
    return dynamic_cast<BakkesMod::Plugin::PluginSettingsWindow*>(plugin_.get());
}

void HostedPlugin::Unload() {
    if (!module_) {
        return;
    }
    if (plugin_) {
        plugin_->onUnload();
        plugin_.reset();
    }
    Descriptor().release();
    // The callbacks' code lives in the module, so they go before it does.
    host_.ReleasePluginCallbacks();
    module_.reset();
}

void HostedPlugin::CloseModuleOnly() {
    plugin_.reset();
    host_.ReleasePluginCallbacks();
    module_.reset();
}

} // namespace sim
