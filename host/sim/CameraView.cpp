#include "sim/CameraView.h"

#include <cmath>
#include <numbers>

namespace sim {

namespace {

double Dot(const double* a, const double* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

} // namespace

CameraView::CameraView(Vector location, Rotator rotation, float fovDegrees, Vector2 canvas)
    : origin_{location.X, location.Y, location.Z} {
    constexpr double unitsToRadians = 2.0 * std::numbers::pi / 65536.0;
    const double pitch = rotation.Pitch * unitsToRadians;
    const double yaw = rotation.Yaw * unitsToRadians;
    const double roll = rotation.Roll * unitsToRadians;
    const double sp = std::sin(pitch), cp = std::cos(pitch);
    const double sy = std::sin(yaw), cy = std::cos(yaw);
    const double sr = std::sin(roll), cr = std::cos(roll);

    // The unit axes turned by roll, then pitch, then yaw.
    forward_[0] = cp * cy;
    forward_[1] = cp * sy;
    forward_[2] = sp;
    right_[0] = sr * sp * cy - cr * sy;
    right_[1] = sr * sp * sy + cr * cy;
    right_[2] = -sr * cp;
    up_[0] = -cr * sp * cy - sr * sy;
    up_[1] = -cr * sp * sy + sr * cy;
    up_[2] = cr * cp;

    const double halfWidth = canvas.X * 0.5;
    focal_ = halfWidth / std::tan(fovDegrees * 0.5 * std::numbers::pi / 180.0);
    centreX_ = halfWidth;
    centreY_ = canvas.Y * 0.5;
}

double CameraView::Depth(Vector world) const {
    const double offset[3] = {world.X - origin_[0], world.Y - origin_[1], world.Z - origin_[2]};
    return Dot(offset, forward_);
}

Vector2F CameraView::Project(Vector world) const {
    const double offset[3] = {world.X - origin_[0], world.Y - origin_[1], world.Z - origin_[2]};
    const double depth = Dot(offset, forward_);
    const double x = centreX_ + focal_ * Dot(offset, right_) / depth;
    const double y = centreY_ - focal_ * Dot(offset, up_) / depth;
    return {static_cast<float>(x), static_cast<float>(y)};
}

} // namespace sim
