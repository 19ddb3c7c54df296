#include "HostedFrame.h"

#include <stdexcept>

HostedFrame::HostedFrame(const std::string& modulePath, const BenchView& view) {
    std::string error;
    plugin_ = sim::HostedPlugin::Open(modulePath, host, error);
    if (!plugin_) {
        throw std::runtime_error(error);
    }
    host.console.Preset("qm_enabled", "1");
    if (plugin_->Load(0, error) == nullptr) {
        throw std::runtime_error("'" + modulePath + "': " + error);
    }
    StageView(host, view);
}
