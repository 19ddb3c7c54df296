#include "scenario/Scenario.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sandbox {

namespace {

int ToHostUnits(double radians) {
    return static_cast<int>(std::lround(radians * 32768.0 / std::numbers::pi));
}

} // namespace

Vector2 PictureSize(Vector2 canvas) {
    return {std::clamp(canvas.X, 1, kMaxPictureSide), std::clamp(canvas.Y, 1, kMaxPictureSide)};
}

Rotator LookRotation(Vector from, Vector to) {
    const double dx = double(to.X) - from.X;
    const double dy = double(to.Y) - from.Y;
    const double dz = double(to.Z) - from.Z;
    if (dx == 0.0 && dy == 0.0 && dz == 0.0) {
        return {};
    }
    return {ToHostUnits(std::atan2(dz, std::hypot(dx, dy))), ToHostUnits(std::atan2(dy, dx)), 0};
}

FrameState StateAt(const Scenario& scenario, int frame) {
    FrameState state;
    if (scenario.ball) {
        state.ball = sim::Actor{scenario.ball->At(frame), {}, 0.0f};
    }
    if (scenario.camera) {
        const CameraSetup& setup = *scenario.camera;
        sim::Actor camera;
        camera.fov = setup.fov;
        if (setup.followOffset && state.ball) {
            camera.location = state.ball->location + *setup.followOffset;
        } else if (setup.track) {
            camera.location = setup.track->At(frame);
        }
        if (setup.lookAtBall && state.ball) {
            camera.rotation = LookRotation(camera.location, state.ball->location);
        } else if (setup.lookAtPoint) {
            camera.rotation = LookRotation(camera.location, *setup.lookAtPoint);
        } else if (setup.rotation) {
            camera.rotation = *setup.rotation;
        }
        state.camera = camera;
    }
    return state;
}

void ApplyFrame(const Scenario& scenario, int frame, sim::Host& host) {
    const FrameState state = StateAt(scenario, frame);
    host.mode = scenario.mode;
    host.serverPresent = scenario.serverPresent;
    host.canvasSize = scenario.canvas;
    host.ball = state.ball;
    host.camera = state.camera;
}

} // namespace sandbox
