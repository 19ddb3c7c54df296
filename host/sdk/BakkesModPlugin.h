#pragma once

#include <memory>

#include "sdk/CVarManagerWrapper.h"
#include "sdk/GameWrapper.h"
#include "sdk/SdkExport.h"

namespace BakkesMod::Plugin {

// Base of every plugin: the contract between a plugin and its host.
//
// Lifetime, in the host's order:
//   1. load the module and read its descriptor `exports` (PluginDescriptor.h);
//   2. call the factory (`getPlugin`); the host may copy the shared reference
//      it returns the address of, and keep that copy;
//   3. fill cvarManager and gameWrapper;
//   4. if the plugin is a PluginSettingsWindow and the host has a UI, hand over
//      the UI context (SetUiContext);
//   5. onLoad, once;
//   6. frames: hooks, drawables and, while its page is open, the settings panel;
//   7. onUnload, once; from here on no hook, drawable or panel runs;
//   8. drop the host's copy, call the release function (`deleteMe`), drop every
//      callable the plugin registered;
//   9. unload the module, which destroys the module's statics.
// The plugin dies with its last shared reference: at release when the host kept
// no copy, else when the host drops its copy, which it must do before step 9
// (the plugin's code and deleter live in the module).
//
// Threads: every call (factory, release, onLoad, onUnload, hooks, drawables)
// comes on the host's game thread, which also renders the overlay; only the
// settings panel's calls come on the host's UI thread. The plugin starts no
// threads and takes no locks around SDK calls.
//
// No virtual destructor: never delete a plugin through this type. The shared
// reference the factory hands out carries the deleter of the plugin's own type.
// The members below are compiled into each plugin module and exported from it;
// copying or moving a plugin copies or moves the two host references only.
class BAKKESMOD_PLUGIN_EXPORT BakkesModPlugin {
public:
    // The host's console. Empty until the host fills it, once, after the factory
    // and before SetUiContext and onLoad. The plugin may keep copies of the
    // reference, but no longer than the module stays loaded.
    std::shared_ptr<CVarManagerWrapper> cvarManager;
    // The game. Filled and kept like cvarManager.
    std::shared_ptr<GameWrapper> gameWrapper;

    BakkesModPlugin();
    BakkesModPlugin(const BakkesModPlugin& other);
    BakkesModPlugin(BakkesModPlugin&& other) noexcept;
    BakkesModPlugin& operator=(const BakkesModPlugin& other);
    BakkesModPlugin& operator=(BakkesModPlugin&& other) noexcept;
    ~BakkesModPlugin();

    // The plugin's set-up, called once with both references filled: registers
    // its variables, hooks and drawables, which the host keeps until it unloads
    // the plugin. Nothing here.
    virtual void onLoad();
    // Called once, before release. The host drops the plugin's registrations
    // itself, so nothing need be undone here. Nothing here.
    virtual void onUnload();
};

} // namespace BakkesMod::Plugin
