#pragma once

#include <memory>

#include "sdk/CVarManagerWrapper.h"
#include "sdk/GameWrapper.h"
#include "sdk/SdkExport.h"

namespace BakkesMod::Plugin {

// Base of every plugin. The host creates the plugin through the module's
// factory, fills in both references, then calls onLoad; before unloading the
// module it calls onUnload. The class has no virtual destructor: the shared
// reference that owns a plugin deletes it through the plugin's own type.
//
// Its members are compiled into each plugin module and exported from it.
class BAKKESMOD_PLUGIN_EXPORT BakkesModPlugin {
public:
    // The host's console; empty until the host fills it, before onLoad.
    std::shared_ptr<CVarManagerWrapper> cvarManager;
    // The game; empty until the host fills it, before onLoad.
    std::shared_ptr<GameWrapper> gameWrapper;

    BakkesModPlugin();
    BakkesModPlugin(const BakkesModPlugin& other);
    BakkesModPlugin(BakkesModPlugin&& other) noexcept;
    BakkesModPlugin& operator=(const BakkesModPlugin& other);
    BakkesModPlugin& operator=(BakkesModPlugin&& other) noexcept;
    ~BakkesModPlugin();

    // Both do nothing here.
    virtual void onLoad();
    virtual void onUnload();
};

} // namespace BakkesMod::Plugin
