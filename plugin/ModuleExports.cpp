// The module's boundary with the host loader: the descriptor, the factory and
// the release function (their contracts: sdk/PluginDescriptor.h), and the
// module-wide references they manage.

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

// No lock: the loader calls the factory and the release function from one thread.
PLUGIN_ENTRY_POINT std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>* getPlugin() {
    if (!s_instance) {
        s_instance = std::make_shared<Quellmark>();
    }
    return &s_instance;
}

// Empties the module's reference before dropping its owner, so a plugin whose
// destruction reaches back into the module finds the reference already empty.
PLUGIN_ENTRY_POINT void deleteMe() {
    if (!s_instance) {
        return;
    }
    std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin> taken = std::move(s_instance);
    s_instance.reset();
    taken.reset();
}

// Constant initialisation: ready before any code of the module runs, fillers zero.
PLUGIN_ENTRY_POINT extern const PluginDescriptor exports;
const PluginDescriptor exports = {
    kPluginInterfaceVersion,
    kMainSourcePath,
    "Quellmark",
    // The title the module has always shipped with, placeholder wording and
    // all: hosts show it as it is, and the tests hold it to that.
    "write a plugin description here",
    kPluginVersionText,
    // The plain kind: the plugin asks for nothing beyond the calls every
    // plugin gets, on the host's own threads (no thread of its own).
    1,
    &getPlugin,
    &deleteMe,
};

} // extern "C"
