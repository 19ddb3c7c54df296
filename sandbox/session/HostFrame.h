#pragma once

#include <functional>
#include <string>

#include "picture/DrawDataRenderer.h"
#include "picture/SettingsWindow.h"
#include "scenario/Scenario.h"
#include "session/Session.h"
#include "session/TraceWriter.h"

struct SDL_Renderer;

namespace sandbox {

// What a command adds to the host's frame around the plugin's.
struct FrameUi {
    // The status line under the game picture. Asked after the plugin's frame,
    // so it shows the variables as that frame left them.
    std::function<std::string()> caption;
    // The command's own windows, drawn over the settings window (the
    // window's console); none for render.
    std::function<void()> windows;
};

// The host's frame: the one sequence `render` and `window` both run, in this
// order:
//   1. the game at this frame is handed to the host: ball, camera, canvas;
//   2. the plugin's frame runs on it (Session::RunGameFrame: module
//      requests, the game's per-frame events, the drawables);
//   3. the UI is composed in one Dear ImGui frame: the backdrop and the
//      plugin's canvas behind everything, the settings window with the
//      plugin's panel, then the command's own windows;
//   4. the picture is rendered on `target`: cleared to the host's background
//      colour, then the draw data rasterised;
//   5. the frame's SDK calls are traced under "frame N".
// Reading the picture back (render's frames, the window's screenshots) and
// presenting it are the caller's. The Dear ImGui display size and time step,
// and any platform input, are set by the caller before Run.
class HostFrame {
public:
    // `session`, `trace` and `target` must outlive this.
    HostFrame(Session& session, TraceWriter& trace, SDL_Renderer* target);

    // Runs frame `number` on `game` with a canvas of `canvas` pixels; returns
    // where the plugin panel's last widget was drawn.
    PanelWidget Run(int number, const FrameState& game, Vector2 canvas, const FrameUi& ui);

    // Time spent in steps 1 and 2 over every Run so far, in seconds: the
    // simulation's share of a frame, for the media benchmark.
    double GameSeconds() const { return gameSeconds_; }

private:
    Session& session_;
    TraceWriter& trace_;
    SDL_Renderer* target_;
    DrawDataRenderer renderer_;
    double gameSeconds_ = 0.0;
};

} // namespace sandbox
