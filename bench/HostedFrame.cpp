#include "HostedFrame.h"

#include <stdexcept>

HostedFrame::HostedFrame(const std::string& modulePath, const BenchView& view) {
    std::string error;
    module_ = sim::LoadedModule::Open(modulePath, error);
    if (!module_) {
        throw std::runtime_error(error);
    }
    host.console.Preset("qm_enabled", "1");
    plugin_ = module_->Descriptor().factory()->get();
    plugin_->cvarManager = host.MakeCVarManager();
    plugin_->gameWrapper = host.MakeGameWrapper();
    plugin_->onLoad();
    StageView(host, view);
}

// The host's unload order: the plugin first, then the module's reference to
// it, then the callbacks whose code lives in the module, then the module.
HostedFrame::~HostedFrame() {
    plugin_->onUnload();
    module_->Descriptor().release();
    host.ReleasePluginCallbacks();
    module_.reset();
}
