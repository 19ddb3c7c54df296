#include "HostedModule.h"

#include <dlfcn.h>

#include "Check.h"

namespace validate {

HostedModule::HostedModule(const std::string& path, sim::Host& host) : host_(host) {
    std::string error;
    module_ = sim::LoadedModule::Open(path, error);
    if (!module_) {
        Fail("the module was refused: " + error);
    }
}

HostedModule::~HostedModule() {
    Unload();
}

BakkesMod::Plugin::BakkesModPlugin& HostedModule::Create() {
    std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>* reference = Descriptor().factory();
    Require(reference != nullptr, "the factory returned a null address");
    Require(*reference != nullptr, "the factory left the module's reference empty");
    plugin_ = reference->get();
    plugin_->cvarManager = host_.MakeCVarManager();
    plugin_->gameWrapper = host_.MakeGameWrapper();
    return *plugin_;
}

BakkesMod::Plugin::BakkesModPlugin& HostedModule::Load() {
    Create().onLoad();
    return *plugin_;
}

BakkesMod::Plugin::PluginSettingsWindow& HostedModule::Panel() {
    Require(plugin_ != nullptr, "no plugin has been created");
    auto* panel = dynamic_cast<BakkesMod::Plugin::PluginSettingsWindow*>(plugin_);
    Require(panel != nullptr, "the plugin has no settings window");
    return *panel;
}

void HostedModule::Unload() {
    if (!module_) {
        return;
    }
    if (plugin_ != nullptr) {
        plugin_->onUnload();
        plugin_ = nullptr;
    }
    Descriptor().release();
    // The callbacks' code lives in the module, so they go before it does.
    host_.ReleasePluginCallbacks();
    module_.reset();
}

void HostedModule::UnloadModuleOnly() {
    plugin_ = nullptr;
    host_.ReleasePluginCallbacks();
    module_.reset();
}

bool ModuleIsMapped(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) {
        return false;
    }
    dlclose(handle);
    return true;
}

} // namespace validate
