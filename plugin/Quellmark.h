#pragma once

#include <memory>
#include <string>

#include "plugin/SettingsWindowBase.h"
#include "sdk/BakkesModPlugin.h"
#include "sdk/CanvasWrapper.h"

// Draws eight lines from the two ends of the field to the ball while the
// console variable qm_enabled is on and the game is in freeplay, custom
// training or a replay.
class Quellmark : public BakkesMod::Plugin::BakkesModPlugin, public SettingsWindowBase {
public:
    // Creates the on/off flag and registers the variable bound to it, the
    // game-function hooks and the per-frame drawable.
    void onLoad() override;

    // The handler of every hooked game function; does nothing (why the hooks
    // exist all the same: Quellmark.cpp).
    void OnGameEvent(std::string eventName);

    // The per-frame drawable: the eight lines, clipped to the camera's view.
    void RenderOverlay(CanvasWrapper canvas);

    // One checkbox bound to qm_enabled; every flip is saved.
    void DrawSettingsPanel() override;

private:
    // Follows qm_enabled through the console's binding; empty before onLoad.
    std::shared_ptr<bool> enabled;
};
