#include "window/FreeCamera.h"

#include <algorithm>
#include <cmath>

#include "sim/CameraView.h"

namespace sandbox {

namespace {

constexpr int kPitchLimit = 16000; // a quarter turn is 16384
constexpr float kBallRadius = 93.0f;

} // namespace

void MoveInView(sim::Actor& camera, Vector step) {
    const sim::CameraView view(camera.location, camera.rotation, camera.fov, {1, 1});
    const double* f = view.Forward();
    const double* r = view.Right();
    const double* u = view.Up();
    camera.location =
        camera.location + Vector{float(f[0] * step.X + r[0] * step.Y + u[0] * step.Z),
                                 float(f[1] * step.X + r[1] * step.Y + u[1] * step.Z),
                                 float(f[2] * step.X + r[2] * step.Y + u[2] * step.Z)};
}

void Turn(sim::Actor& camera, int yaw, int pitch) {
    camera.rotation.Yaw = (camera.rotation.Yaw + yaw) % 65536;
    camera.rotation.Pitch = std::clamp(camera.rotation.Pitch + pitch, -kPitchLimit, kPitchLimit);
}

void MoveBall(sim::Actor& ball, const sim::Actor& camera, Vector step) {
    const sim::CameraView view(camera.location, camera.rotation, camera.fov, {1, 1});
    double ahead[2] = {view.Forward()[0], view.Forward()[1]};
    double length = std::hypot(ahead[0], ahead[1]);
    if (length < 1e-6) {
        // Looking straight down or up: "away" is where the camera's top points.
        ahead[0] = view.Up()[0];
        ahead[1] = view.Up()[1];
        length = std::hypot(ahead[0], ahead[1]);
    }
    ahead[0] /= length;
    ahead[1] /= length;
    // Right of "ahead" on the ground, matching the view's right for level cameras.
    const double right[2] = {-ahead[1], ahead[0]};
    ball.location.X += float(ahead[0] * step.X + right[0] * step.Y);
    ball.location.Y += float(ahead[1] * step.X + right[1] * step.Y);
    ball.location.Z = std::max(kBallRadius, ball.location.Z + step.Z);
}

} // namespace sandbox
