#include "validate/audit/FrustumJudge.h"

#include <algorithm>
#include <iterator>

#include "base/WorldMath.h"

namespace validate {

namespace {

// The corners each plane is built from, as ViewFrustum::Build takes them
// (P0, P1, P2; the edges run from the middle one).
constexpr int kPlaneCorners[6][3] = {{0, 1, 4}, {2, 3, 6}, {0, 4, 3},
                                     {5, 1, 6}, {4, 5, 7}, {1, 0, 2}};

} // namespace

const char* FrustumPlaneName(int plane) {
    constexpr const char* kNames[6] = {"top", "bottom", "left", "right", "near", "far"};
    return plane >= 0 && plane < 6 ? kNames[plane] : "?";
}

FrustumJudge::FrustumJudge(const ViewFrustum& frustum, Vector camera) {
    std::copy(std::begin(frustum.Corners), std::end(frustum.Corners), corners_);
    double reach = 0.0;
    for (const Vector& corner : corners_) {
        reach = std::max(reach, ::Distance(corner, camera));
    }
    if (std::isnan(reach)) {
        reach = INFINITY;
    }
    // Each corner is a few float operations from the camera's position and the
    // frustum's extents: about one unit in the last place of the largest
    // magnitude in play.
    const double largest = std::max(
        {std::fabs(double(camera.X)), std::fabs(double(camera.Y)), std::fabs(double(camera.Z))});
    cornerError_ = FLT_EPSILON * (largest + reach);
    for (int i = 0; i < 6; ++i) {
        const FrustumPlane& p = frustum.Planes[i];
        const double length = std::sqrt(double(p.X) * p.X + double(p.Y) * p.Y + double(p.Z) * p.Z);
        normal_[i][0] = p.X / length;
        normal_[i][1] = p.Y / length;
        normal_[i][2] = p.Z / length;
        offset_[i] = p.D;
        // A plane through three points turns by the corners' error over the
        // parallelogram its edges span: thin triangles (a far corner between
        // two near ones, a canvas of extreme shape, a field of view near 0 or
        // 180) leave the plane far less certain than its corners.
        const Vector& p0 = corners_[kPlaneCorners[i][0]];
        const Vector& p1 = corners_[kPlaneCorners[i][1]];
        const Vector& p2 = corners_[kPlaneCorners[i][2]];
        const double a[3] = {double(p0.X) - p1.X, double(p0.Y) - p1.Y, double(p0.Z) - p1.Z};
        const double b[3] = {double(p2.X) - p1.X, double(p2.Y) - p1.Y, double(p2.Z) - p1.Z};
        const double cx = a[1] * b[2] - a[2] * b[1], cy = a[2] * b[0] - a[0] * b[2],
                     cz = a[0] * b[1] - a[1] * b[0];
        const double area = std::sqrt(cx * cx + cy * cy + cz * cz);
        const double edges = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]) +
                             std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
        turn_[i] = area > 0.0 ? 2.0 * cornerError_ * edges / area : INFINITY;
        if (std::isnan(turn_[i])) {
            turn_[i] = INFINITY;
        }
    }
}

double FrustumJudge::Distance(int i, Vector point) const {
    return normal_[i][0] * point.X + normal_[i][1] * point.Y + normal_[i][2] * point.Z + offset_[i];
}

double FrustumJudge::Slack(int i, Vector point) const {
    return kRounding * (Norm1(point) + std::fabs(offset_[i]) + 1.0);
}

double FrustumJudge::ConstructionError(int i, Vector point) const {
    const double lever = ::Distance(point, corners_[kPlaneCorners[i][1]]);
    const double error = turn_[i] * lever + 2.0 * cornerError_ + Slack(i, point);
    return std::isnan(error) ? INFINITY : error;
}

int FrustumJudge::Breached(Vector point, double allowance) const {
    for (int i = 0; i < 6; ++i) {
        if (!(Distance(i, point) >= -allowance - Slack(i, point))) {
            return i;
        }
    }
    return -1;
}

bool FrustumJudge::DeepInside(Vector point, double depth) const {
    for (int i = 0; i < 6; ++i) {
        if (!(Distance(i, point) >= depth + Slack(i, point))) {
            return false;
        }
    }
    return true;
}

bool FrustumJudge::ClearlyOutside(Vector point, double depth) const {
    for (int i = 0; i < 6; ++i) {
        if (Distance(i, point) <= -depth - Slack(i, point)) {
            return true;
        }
    }
    return false;
}

} // namespace validate
