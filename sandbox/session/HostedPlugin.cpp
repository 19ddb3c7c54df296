#include "HostedPlugin.h"

namespace sandbox {

std::unique_ptr<HostedPlugin> HostedPlugin::Load(const std::string& modulePath, sim::Host& host,
                                                 std::uintptr_t uiContext, std::string& error) {
    auto module = sim::LoadedModule::Open(modulePath, error);
    if (!module) {
        return nullptr;
    }
    std::unique_ptr<HostedPlugin> hosted(new HostedPlugin(host, std::move(module)));
    std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>* reference = hosted->Descriptor().factory();
    if (reference == nullptr || *reference == nullptr) {
        error = "'" + modulePath + "': the factory made no plugin";
        return nullptr;
    }
    hosted->plugin_ = *reference;
    hosted->plugin_->cvarManager = host.MakeCVarManager();
    hosted->plugin_->gameWrapper = host.MakeGameWrapper();
    hosted->panel_ = dynamic_cast<BakkesMod::Plugin::PluginSettingsWindow*>(hosted->plugin_.get());
    if (hosted->panel_ != nullptr) {
        hosted->panel_->SetUiContext(uiContext);
    }
    hosted->plugin_->onLoad();
    if (hosted->panel_ != nullptr) {
        hosted->panelName_ = hosted->panel_->GetPanelName();
    }
    return hosted;
}

HostedPlugin::HostedPlugin(sim::Host& host, std::unique_ptr<sim::LoadedModule> module)
    : host_(host), module_(std::move(module)) {}

HostedPlugin::~HostedPlugin() {
    if (plugin_) {
        plugin_->onUnload();
    }
    panel_ = nullptr;
    plugin_.reset();
    Descriptor().release();
    // The callbacks' code lives in the module, so they go before it does.
    host_.ReleasePluginCallbacks();
    module_.reset();
}

} // namespace sandbox
