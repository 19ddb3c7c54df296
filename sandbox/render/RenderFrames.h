#pragma once

#include <functional>

#include "output/FrameOutput.h"
#include "session/Session.h"
#include "session/TraceWriter.h"

namespace sandbox {

// A render's frame is a sixtieth of a second of game time.
inline constexpr int kRenderFramesPerSecond = 60;

// Where a render's time went, in seconds. The encoder works on its own
// thread while the next frame is simulated and drawn, so `encoding` overlaps
// the others; `waiting` is the drawing side idle because the encoder was
// behind.
struct RenderTimes {
    double simulation = 0.0; // the game's events and the plugin's frame
    double drawing = 0.0;    // composing, rasterising and reading back the picture
    double encoding = 0.0;
    double waiting = 0.0;
    double total = 0.0;
    // CPU time of the two threads, which a busy machine does not inflate:
    // simulating and drawing on the caller's, encoding on the encoder's.
    double drawingCpu = 0.0;
    double encodingCpu = 0.0;
};

// Plays every frame of the session's scenario offscreen at its canvas size,
// traces each frame's calls, and hands the pictures to `output` through an
// encoder thread, finishing the output at the end. `frameDone(frame)` runs
// on this thread after each frame is queued. Throws what the output throws.
RenderTimes RenderFrames(Session& session, TraceWriter& trace, FrameOutput& output,
                         const std::function<void(int)>& frameDone);

} // namespace sandbox
