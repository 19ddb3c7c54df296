// The one plugin instance: made by the factory, dropped by the release
// function, kept alive by copies the host holds, and destroyed with the module
// when the host unloads it without releasing.

#include <memory>
#include <string>

#include "sim/ModuleLibrary.h"
#include "validate/checks/ModuleChecks.h"
#include "validate/checks/ModuleUnderTest.h"
#include "validate/judge/ValueText.h"

namespace validate {

namespace {

using PluginReference = std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>;

void FactoryAndRelease(const CheckContext& context) {
    sim::Host host;
    auto hosted = OpenModule(context.modulePath, host);
    const PluginDescriptor& d = hosted->Descriptor();

    d.release();
    d.release();
    PluginReference* first = d.factory();
    Require(first != nullptr && *first != nullptr, "the factory made no plugin");
    Require(first->use_count() == 1,
            "a new plugin has " + Num(first->use_count()) + " owners, expected the module alone");
    Require((*first)->cvarManager == nullptr && (*first)->gameWrapper == nullptr,
            "a new plugin's host references are not empty");
    BakkesMod::Plugin::BakkesModPlugin* instance = first->get();

    PluginReference* second = d.factory();
    Require(second == first, "a second factory call returned another address");
    Require(second->get() == instance, "a second factory call made another plugin");
    Require(second->use_count() == 1, "a second factory call added an owner");

    // The host keeps its own copy, then the module lets go.
    std::shared_ptr<CVarManagerWrapper> console = host.MakeCVarManager();
    instance->cvarManager = console;
    PluginReference hostCopy = *first;
    d.release();
    Require(*first == nullptr, "release left the module's reference set");
    d.release();
    Require(console.use_count() == 2,
            "release with a host copy alive destroyed the plugin (console owners: " +
                Num(console.use_count()) + ")");
    hostCopy->onUnload();
    hostCopy.reset();
    Require(console.use_count() == 1,
            "the last copy gone, the plugin still holds the console (owners: " +
                Num(console.use_count()) + ")");

    PluginReference* fresh = d.factory();
    Require(fresh == first, "after release the factory returned another address");
    Require(*fresh != nullptr, "after release the factory made no plugin");
    Require((*fresh)->cvarManager == nullptr && (*fresh)->gameWrapper == nullptr,
            "the plugin made after release is not a new one: its references are set");
    Require(fresh->use_count() == 1,
            "the plugin made after release has " + Num(fresh->use_count()) + " owners, expected 1");
    hosted->Unload();
    console.reset();
    Require(host.LiveHandles() == 0, Num(host.LiveHandles()) + " host handles outlived the module");
}

// Loaded, its panel's variable fetched, then unloaded with no onUnload and no
// release: the module's statics must destroy the plugin and everything it held.
void UnloadWithTheInstanceSet(const CheckContext& context) {
    sim::Host host;
    std::shared_ptr<CVarManagerWrapper> console;
    std::shared_ptr<GameWrapper> game;
    {
        auto hosted = OpenModule(context.modulePath, host);
        auto& plugin = LoadPlugin(*hosted);
        console = plugin.cvarManager;
        game = plugin.gameWrapper;
        // Without a UI context a panel draws nothing, but it may fetch and
        // keep host handles (Quellmark's keeps its variable's).
        if (BakkesMod::Plugin::PluginSettingsWindow* panel = hosted->Panel()) {
            panel->DrawSettingsPanel();
        }
        hosted->CloseModuleOnly();
        Require(!sim::ModuleLibraryIsLoaded(context.modulePath),
                "the module is still mapped after it was closed: it cannot be unloaded");
    }
    Require(game.use_count() == 1,
            "unloading the module did not destroy the plugin (game owners: " +
                Num(game.use_count()) + ")");
    Require(console.use_count() == 1,
            "unloading the module left owners of the console: " + Num(console.use_count() - 1));
    console.reset();
    game.reset();
    Require(host.LiveHandles() == 0, Num(host.LiveHandles()) + " host handles outlived the module");
}

} // namespace

void CheckLifecycle(const CheckContext& context) {
    FactoryAndRelease(context);
    UnloadWithTheInstanceSet(context);
}

} // namespace validate
