#include "plugin/Quellmark.h"

#include "plugin/ModuleState.h"

namespace {

// Game functions the plugin subscribes to, in the order it registers them.
// Their handler does nothing: the overlay reads the game state afresh every
// frame, so no event needs an answer. They stay because they are part of what
// the host sees of the plugin: its hooks, in this order around the drawable,
// each costing the host a call whenever the function runs (the car's input,
// many times a second).
// Written out here: the plugin builds against the SDK's handles alone, and the
// SDK names no game functions. (The stand-in host's game names them in
// sim/GameFunctions.h, which its tests and the validator check this list
// against.)
constexpr const char* kHookedBeforeDrawable[] = {
    "Function TAGame.Mutator_Freeplay_TA.Init",
    "Function TAGame.GameEvent_Soccar_TA.Destroyed",
    "Function TAGame.GameEvent_TrainingEditor_TA.StartPlayTest",
    "Function TAGame.GameEvent_TrainingEditor_TA.Destroyed",
};
constexpr const char* kHookedAfterDrawable = "Function TAGame.Car_TA.SetVehicleInput";

} // namespace

void Quellmark::onLoad() {
    g_cvarManager = cvarManager;
    // The flag starts true although the variable's default text is "0", on
    // purpose. The default keeps the overlay of a fresh install off until the
    // user turns it on (a saved value replaces it). The true shows only on a
    // host whose binding waits for the variable's next change: the overlay is
    // on until then, as the plugin has always started there. This SDK's
    // binding copies the variable's value at once, so here the true never shows.
    enabled = std::make_shared<bool>(true);

    cvarManager
        ->registerCvar("qm_enabled", "0", "Plugin Enabled", true, false, 0.0f, false, 0.0f, true)
        .bindTo(enabled);

    // The callables hold a plain pointer: the host's registrations do not keep
    // the plugin alive, and the host drops them before the module goes.
    auto onGameEvent = [this](std::string eventName) { OnGameEvent(std::move(eventName)); };
    for (const char* function : kHookedBeforeDrawable) {
        gameWrapper->HookEvent(function, onGameEvent);
    }
    gameWrapper->RegisterDrawable([this](CanvasWrapper canvas) { RenderOverlay(canvas); });
    gameWrapper->HookEvent(kHookedAfterDrawable, onGameEvent);
}

void Quellmark::OnGameEvent(std::string /*eventName*/) {}
