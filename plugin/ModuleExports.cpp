// The module's boundary with the host loader: the descriptor, the factory and
// the release function, and the module-wide references they manage.

#include <memory>

#include "plugin/ModuleState.h"
#include "plugin/PluginVersion.h"
#include "plugin/Quellmark.h"
#include "sdk/PluginDescriptor.h"
#include "sdk/SdkExport.h"

namespace {

// The module's reference to its one plugin. Constructed (empty) before
// g_cvarManager and so destroyed after it when the module unloads; a plugin
// still held here then dies with the module.
std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin> s_instance;

} // namespace

std::shared_ptr<CVarManagerWrapper> g_cvarManager;

extern "C" {

// Called by the host loader, from one thread. Creates the plugin if there is
// none and returns the address of the module's reference to it; the host may
// copy the reference to keep the plugin alive on its own. If the allocation
// fails, std::bad_alloc reaches the host and the reference stays empty.
PLUGIN_ENTRY_POINT std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>* getPlugin() {
    if (!s_instance) {
        s_instance = std::make_shared<Quellmark>();
    }
    return &s_instance;
}

// Called by the host loader after onUnload. Empties the module's reference
// before dropping its owner, so a plugin whose destruction reaches back into
// the module finds the reference already empty. A copy the host still holds
// keeps the plugin alive until the host lets it go.
PLUGIN_ENTRY_POINT void deleteMe() {
    if (!s_instance) {
        return;
    }
    std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin> taken = std::move(s_instance);
    s_instance.reset();
    taken.reset();
}

// What the host loader reads first (see PluginDescriptor). Constant
// initialisation: ready before any code of the module runs, fillers zero.
PLUGIN_ENTRY_POINT extern const PluginDescriptor exports;
const PluginDescriptor exports = {
    kPluginInterfaceVersion,
    kMainSourcePath,
    "Quellmark",
    "write a plugin description here",
    kPluginVersionText,
    1,
    &getPlugin,
    &deleteMe,
};

} // extern "C"
