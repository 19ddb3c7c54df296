#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "scenario/Track.h"
#include "sdk/Rotator.h"
#include "sdk/Vector.h"
#include "sim/Host.h"

namespace sandbox {

// The game camera of a scenario: where it is (its own track, or a fixed
// offset from the ball) and where it looks (a fixed rotation, the ball, or a
// point).
struct CameraSetup {
    std::optional<Track> track;
    std::optional<Vector> followOffset;
    std::optional<Rotator> rotation;
    bool lookAtBall = false;
    std::optional<Vector> lookAtPoint;
    float fov = 90.0f;
};

// A simulated game session for the sandbox to host the plugin in.
struct Scenario {
    std::string source; // file it came from, for messages
    sim::GameMode mode = sim::GameMode::Freeplay;
    bool serverPresent = true;
    Vector2 canvas{1280, 720};                              // as the embedded default
    std::optional<Track> ball;                              // empty: no ball
    std::optional<CameraSetup> camera;                      // empty: no camera
    std::vector<std::pair<std::string, std::string>> cvars; // in file order
    // The embedded default's variables are only a starting point: a saved
    // config overrides them, so a flip in the panel survives a restart. A
    // scenario file's variables override the config.
    bool cvarsYieldToConfig = false;
    int frames = 1;
};

// The game at one frame.
struct FrameState {
    std::optional<sim::Actor> ball;
    std::optional<sim::Actor> camera;
};

// The largest picture side a run draws, and so the largest canvas an ordinary
// scenario may give.
constexpr int kMaxPictureSide = 8192;

// The picture drawn of `canvas`: the canvas itself, cut to kMaxPictureSide a
// side and at least one pixel, since a file with host bounds may hand the
// plugin an empty or a huge canvas. The plugin still sees the canvas as given.
Vector2 PictureSize(Vector2 canvas);

// The rotation that turns a camera at `from` to look at `to` (no roll).
Rotator LookRotation(Vector from, Vector to);

// The scenario's game at `frame`, counted from 1.
FrameState StateAt(const Scenario& scenario, int frame);

// Puts the scenario's game at `frame` into the host: mode, server, canvas
// size, ball and camera.
void ApplyFrame(const Scenario& scenario, int frame, sim::Host& host);

} // namespace sandbox
