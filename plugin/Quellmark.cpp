#include "plugin/Quellmark.h"

#include "plugin/ModuleState.h"

namespace {

// Game functions the plugin subscribes to, in the order it registers them.
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
    // Made true, then bound, on purpose. This SDK's binding copies the
    // variable's value into the flag at once, so the true never shows here; a
    // host whose binding waits for the variable's next change leaves the
    // overlay on until then, which is how the plugin has always started there.
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
