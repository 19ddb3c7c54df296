#include "validate/audit/CanvasJudge.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <iterator>
#include <numbers>

#include "base/WorldMath.h"
#include "overlay/Quaternion.h"
#include "validate/audit/FrameView.h"
#include "validate/judge/ValueText.h"

namespace validate {

namespace {

// The corners each plane is built from, as ViewFrustum::Build takes them
// (P0, P1, P2; the edges run from the middle one).
constexpr int kPlaneCorners[6][3] = {{0, 1, 4}, {2, 3, 6}, {0, 4, 3},
                                     {5, 1, 6}, {4, 5, 7}, {1, 0, 2}};

// Twice the area of the triangle p0 p1 p2 over its two edges from p1.
double AreaOverEdges(Vector p0, Vector p1, Vector p2) {
    const double a[3] = {double(p0.X) - p1.X, double(p0.Y) - p1.Y, double(p0.Z) - p1.Z};
    const double b[3] = {double(p2.X) - p1.X, double(p2.Y) - p1.Y, double(p2.Z) - p1.Z};
    const double cx = a[1] * b[2] - a[2] * b[1], cy = a[2] * b[0] - a[0] * b[2],
                 cz = a[0] * b[1] - a[1] * b[0];
    const double area = std::sqrt(cx * cx + cy * cy + cz * cz);
    const double edges = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]) +
                         std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
    return area / edges;
}

} // namespace

CanvasJudge::CanvasJudge(const sim::Actor& camera, Vector2 canvas, const ViewFrustum& frustum,
                         const ClipJudge& clip)
    : view_(camera.location, camera.rotation, camera.fov, canvas), camera_(camera), clip_(clip) {
    MeasurePlanes(frustum);
    MeasureView(canvas);
}

void CanvasJudge::MeasurePlanes(const ViewFrustum& frustum) {
    std::copy(std::begin(frustum.Corners), std::end(frustum.Corners), corners_);
    const Vector camera = camera_.location;
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
    // A plane through three points turns by the corners' error over the
    // parallelogram its edges span: thin triangles (a far corner between two
    // near ones, a canvas of extreme shape, a field of view near 0 or 180)
    // leave the plane far less certain than its corners.
    for (int i = 0; i < 6; ++i) {
        const double spread =
            AreaOverEdges(corners_[kPlaneCorners[i][0]], corners_[kPlaneCorners[i][1]],
                          corners_[kPlaneCorners[i][2]]);
        turn_[i] = spread > 0.0 ? 2.0 * cornerError_ / spread : INFINITY;
        if (std::isnan(turn_[i])) {
            turn_[i] = INFINITY;
        }
    }
}

void CanvasJudge::MeasureView(Vector2 canvas) {
    const sim::Actor& camera = camera_;
    halfWidth_ = canvas.X * 0.5;
    halfHeight_ = canvas.Y * 0.5;
    // The host's focal length, as sim::CameraView computes it.
    focal_ = std::fabs(halfWidth_ / std::tan(camera.fov * 0.5 * std::numbers::pi / 180.0));
    // The plugin's half width per unit of depth, in its own float arithmetic.
    // Past 180 degrees both turn negative and mirror their views, the
    // plugin's frustum half a turn about its axis and the host's image; at
    // the poles rounding can leave one of them on the other side.
    const float pluginTan = std::tan(camera.fov * 0.5f * 0.017453292f);
    const double hostTan = std::tan(camera.fov * 0.5 * std::numbers::pi / 180.0);
    mirrored_ = (pluginTan < 0.0f) != (hostTan < 0.0);
    const double pluginHalf = std::fabs(pluginTan);
    const double aspect = float(canvas.X) / float(canvas.Y);
    boundX_ = std::max(halfWidth_, focal_ * pluginHalf);
    boundY_ = std::max(halfHeight_, focal_ * pluginHalf / aspect);
    if (std::isnan(boundY_)) {
        boundY_ = halfHeight_;
    }
    angle_ = 1e-6;
    for (int v : {camera.rotation.Pitch, camera.rotation.Yaw, camera.rotation.Roll}) {
        const float plugin = static_cast<float>(v) * RotatorHalfAngleFactor;
        angle_ += 2.0 * std::fabs(double(plugin) - double(v) * std::numbers::pi / 65536.0);
    }
    valid_ =
        std::isfinite(focal_) && focal_ > 0.0 && std::isfinite(boundX_) && std::isfinite(boundY_);
    if (valid_) {
        const double b = std::max(boundX_, boundY_) / focal_;
        // The first-order allowance below holds while the turn is small
        // against how far the view's edge stays from a right angle.
        linear_ = 2.0 * angle_ < 0.2 * (std::numbers::pi / 2.0 - std::atan(b));
    }
    ordinary_ = camera.fov >= 20.0f && camera.fov <= 160.0f && angle_ < 1e-4 &&
                canvas.X <= 4 * canvas.Y && canvas.Y <= 4 * canvas.X &&
                Norm1(camera.location) <= 1e5;
}

double CanvasJudge::ConstructionError(int i, Vector point) const {
    const double lever = ::Distance(point, corners_[kPlaneCorners[i][1]]);
    const double error = turn_[i] * lever + 2.0 * cornerError_ + clip_.Slack(i, point);
    return std::isnan(error) ? INFINITY : error;
}

std::optional<std::string> CanvasJudge::Judge(Vector point, Vector2F image,
                                              AuditTotals& totals) const {
    // The half of the canvas the image lies in names the plane that bounds
    // it: the right plane the right half, the top plane the upper half,
    // unless the two views are mirror images of each other.
    const bool rightHalf = (image.X > halfWidth_) != mirrored_;
    const bool upperHalf = (image.Y < halfHeight_) != mirrored_;
    const int side = rightHalf ? kRight : kLeft;
    const int end = upperHalf ? kTop : kBottom;
    const double marginNear = kClipMargin + ConstructionError(kNear, point);
    const double marginX = kClipMargin + ConstructionError(side, point);
    const double marginY = kClipMargin + ConstructionError(end, point);
    const double depth = view_.Depth(point);
    const double spread = angle_ * Distance(point, camera_.location);
    const double minDepth = kNearDistance - marginNear - spread;
    if (minDepth > 0.0 && !(depth >= minDepth)) {
        return "the point " + Str(point) + " handed to ProjectF lies at depth " + Num(depth) +
               " before the camera, short of the near plane (" + Num(minDepth) + " at least)";
    }
    const double nearest = depth - spread;
    long* unbounded = !valid_    ? &totals.unboundedView
                      : !linear_ ? (angle_ > 1e-4 ? &totals.unboundedTurn : &totals.unboundedView)
                      : !(nearest > 0.0)                                   ? &totals.unboundedBehind
                      : !std::isfinite(marginX) || !std::isfinite(marginY) ? &totals.unboundedPlanes
                                                                           : nullptr;
    if (unbounded != nullptr) {
        ++*unbounded;
        return std::nullopt;
    }
    const double x = std::fabs(image.X - halfWidth_);
    const double y = std::fabs(image.Y - halfHeight_);
    // Where the plugin's frustum reaches on the canvas at this depth...
    const double reachX =
        boundX_ + marginX * std::sqrt(focal_ * focal_ + boundX_ * boundX_) / nearest;
    const double reachY =
        boundY_ + marginY * std::sqrt(focal_ * focal_ + boundY_ * boundY_) / nearest;
    // ...and how far the cameras' difference in angle moves such an image,
    // to first order: yaw and pitch shift it by f / cos^2 of its angle,
    // roll swings it about the centre, and each axis's depth change scales
    // the other.
    const double cross = reachX * reachY / focal_;
    const double allowX =
        reachX + 2.0 * angle_ * ((focal_ * focal_ + reachX * reachX) / focal_ + cross + reachY);
    const double allowY =
        reachY + 2.0 * angle_ * ((focal_ * focal_ + reachY * reachY) / focal_ + cross + reachX);
    if (!(x <= allowX * (1.0 + 1e-6) + 1e-3) || !(y <= allowY * (1.0 + 1e-6) + 1e-3)) {
        return "the point " + Str(point) + " at depth " + Num(depth) + " reached the canvas at " +
               Str(image) + ", " + Num(x) + " by " + Num(y) +
               " pixels from the centre; the canvas and the projected margin allow " + Num(allowX) +
               " by " + Num(allowY);
    }
    ++totals.canvasBounded;
    if (ordinary_) {
        totals.worstOrdinaryOvershoot =
            std::max({totals.worstOrdinaryOvershoot, x - halfWidth_, y - halfHeight_});
    }
    return std::nullopt;
}

} // namespace validate
