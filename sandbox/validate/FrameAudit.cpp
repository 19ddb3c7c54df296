#include "FrameAudit.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <numbers>
#include <utility>

#include "Format.h"
#include "OverlayTargets.h"
#include "overlay/Quaternion.h"
#include "overlay/ViewFrustum.h"
#include "sim/Projection.h"

namespace validate {

namespace {

// Single-precision geometry is exact only to a few units in the last place of
// the largest magnitude involved; every tolerance below is this factor times
// such a magnitude. 32 ulps is several times the error of the longest chain of
// float operations between the plugin's inputs and what it hands the canvas.
constexpr double kRounding = 32.0 * FLT_EPSILON;
// The margin the clipping grants its intersection points, in world units.
constexpr double kClipMargin = 1.0;

double Norm1(Vector v) {
    return std::fabs(double(v.X)) + std::fabs(double(v.Y)) + std::fabs(double(v.Z));
}

double Distance(Vector a, Vector b) {
    const double x = double(a.X) - b.X, y = double(a.Y) - b.Y, z = double(a.Z) - b.Z;
    return std::sqrt(x * x + y * y + z * z);
}

bool Finite(Vector v) {
    return std::isfinite(v.X) && std::isfinite(v.Y) && std::isfinite(v.Z);
}

bool Finite(Vector2F v) {
    return std::isfinite(v.X) && std::isfinite(v.Y);
}

bool SameBits(Vector a, Vector b) {
    return a.X == b.X && a.Y == b.Y && a.Z == b.Z;
}

// One ProjectF pair and the DrawLine that followed it. Draw projects the end
// first, then the start.
struct DrawEvent {
    Vector start;
    Vector end;
    sim::DrawnLine line;
};

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The three floats of a "ProjectF X Y Z" line; the log prints them with %.9g,
// which reads back exactly.
Vector ParseProjectF(const std::string& call) {
    const char* p = call.c_str() + 8;
    char* end = nullptr;
    Vector v;
    v.X = std::strtof(p, &end);
    v.Y = std::strtof(end, &end);
    v.Z = std::strtof(end, &end);
    return v;
}

// The corners each plane is built from, as ViewFrustum::Build takes them
// (P0, P1, P2; the edges run from the middle one).
constexpr int kPlaneCorners[6][3] = {{0, 1, 4}, {2, 3, 6}, {0, 4, 3},
                                     {5, 1, 6}, {4, 5, 7}, {1, 0, 2}};
constexpr const char* kPlaneNames[6] = {"top", "bottom", "left", "right", "near", "far"};
enum Plane { kTop, kBottom, kLeft, kRight, kNear, kFar };

// The frame's frustum as the plugin builds it, its planes evaluated in double
// precision, with what single precision makes of each plane's position.
class FrustumJudge {
public:
    FrustumJudge(const ViewFrustum& frustum, Vector camera) {
        std::copy(std::begin(frustum.Corners), std::end(frustum.Corners), corners_);
        double reach = 0.0;
        for (const Vector& corner : corners_) {
            reach = std::max(reach, validate::Distance(corner, camera));
        }
        if (std::isnan(reach)) {
            reach = INFINITY;
        }
        // Each corner is a few float operations from the camera's position and
        // the frustum's extents: about one unit in the last place of the
        // largest magnitude in play.
        const double largest = std::max({std::fabs(double(camera.X)), std::fabs(double(camera.Y)),
                                         std::fabs(double(camera.Z))});
        cornerError_ = FLT_EPSILON * (largest + reach);
        for (int i = 0; i < 6; ++i) {
            const FrustumPlane& p = frustum.Planes[i];
            const double length =
                std::sqrt(double(p.X) * p.X + double(p.Y) * p.Y + double(p.Z) * p.Z);
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

    // Signed distance from plane i (positive inside).
    double Distance(int i, Vector point) const {
        return normal_[i][0] * point.X + normal_[i][1] * point.Y + normal_[i][2] * point.Z +
               offset_[i];
    }
    // The rounding of the plugin's own float evaluation of that distance.
    double Slack(int i, Vector point) const {
        return kRounding * (Norm1(point) + std::fabs(offset_[i]) + 1.0);
    }
    // How far plane i, as single precision built it, may lie from the exact
    // plane through the camera's view at `point`: its turn times the lever from
    // the corner it pivots on, the corners' own error, and the evaluation.
    double ConstructionError(int i, Vector point) const {
        const double lever = validate::Distance(point, corners_[kPlaneCorners[i][1]]);
        const double error = turn_[i] * lever + 2.0 * cornerError_ + Slack(i, point);
        return std::isnan(error) ? INFINITY : error;
    }

    // The first plane the point lies outside of by more than `allowance` plus
    // rounding; -1 when there is none.
    int Breached(Vector point, double allowance) const {
        for (int i = 0; i < 6; ++i) {
            if (!(Distance(i, point) >= -allowance - Slack(i, point))) {
                return i;
            }
        }
        return -1;
    }
    bool DeepInside(Vector point, double depth) const {
        for (int i = 0; i < 6; ++i) {
            if (!(Distance(i, point) >= depth + Slack(i, point))) {
                return false;
            }
        }
        return true;
    }
    bool ClearlyOutside(Vector point, double depth) const {
        for (int i = 0; i < 6; ++i) {
            if (Distance(i, point) <= -depth - Slack(i, point)) {
                return true;
            }
        }
        return false;
    }

private:
    Vector corners_[8];
    double normal_[6][3];
    double offset_[6];
    double turn_[6];
    double cornerError_ = 0.0;
};

// Where the host's projection may put the image of a point the plugin held
// inside its frustum within the clipping margin: the canvas, widened by what
// that margin (and the uncertainty of the plugin's float planes) projects to
// at the point's depth, and by the small angle by which the plugin's
// single-precision camera (its rotator factor, its float conversions) may
// differ from the host's double-precision one.
class CanvasJudge {
public:
    CanvasJudge(const sim::Actor& camera, Vector2 canvas, const FrustumJudge& frustum)
        : view_(camera.location, camera.rotation, camera.fov, canvas), camera_(camera),
          frustum_(frustum) {
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
        valid_ = std::isfinite(focal_) && focal_ > 0.0 && std::isfinite(boundX_) &&
                 std::isfinite(boundY_);
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

    // Checks the image of one point handed to ProjectF; counts it as bounded
    // or not.
    std::optional<std::string> Judge(Vector point, Vector2F image, AuditTotals& totals) const {
        // The half of the canvas the image lies in names the plane that bounds
        // it: the right plane the right half, the top plane the upper half,
        // unless the two views are mirror images of each other.
        const bool rightHalf = (image.X > halfWidth_) != mirrored_;
        const bool upperHalf = (image.Y < halfHeight_) != mirrored_;
        const int side = rightHalf ? kRight : kLeft;
        const int end = upperHalf ? kTop : kBottom;
        const double marginNear = kClipMargin + frustum_.ConstructionError(kNear, point);
        const double marginX = kClipMargin + frustum_.ConstructionError(side, point);
        const double marginY = kClipMargin + frustum_.ConstructionError(end, point);
        const double depth = view_.Depth(point);
        const double spread = angle_ * Distance(point, camera_.location);
        const double minDepth = kNearDistance - marginNear - spread;
        if (minDepth > 0.0 && !(depth >= minDepth)) {
            return "the point " + Str(point) + " handed to ProjectF lies at depth " + Num(depth) +
                   " before the camera, short of the near plane (" + Num(minDepth) + " at least)";
        }
        const double nearest = depth - spread;
        long* unbounded =
            !valid_            ? &totals.unboundedView
            : !linear_         ? (angle_ > 1e-4 ? &totals.unboundedTurn : &totals.unboundedView)
            : !(nearest > 0.0) ? &totals.unboundedBehind
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
            return "the point " + Str(point) + " at depth " + Num(depth) +
                   " reached the canvas at " + Str(image) + ", " + Num(x) + " by " + Num(y) +
                   " pixels from the centre; the canvas and the projected margin allow " +
                   Num(allowX) + " by " + Num(allowY);
        }
        ++totals.canvasBounded;
        if (ordinary_) {
            totals.worstOrdinaryOvershoot =
                std::max({totals.worstOrdinaryOvershoot, x - halfWidth_, y - halfHeight_});
        }
        return std::nullopt;
    }

    Vector2F Project(Vector point) const { return view_.Project(point); }

private:
    sim::CameraView view_;
    sim::Actor camera_;
    const FrustumJudge& frustum_;
    double halfWidth_ = 0.0;
    double halfHeight_ = 0.0;
    double focal_ = 0.0;
    double boundX_ = 0.0;
    double boundY_ = 0.0;
    double angle_ = 0.0;
    bool valid_ = false;
    bool linear_ = false;
    bool ordinary_ = false;
    bool mirrored_ = false;
};

// The point lies on the segment from `start` to `end`, to within rounding.
bool OnSegment(Vector start, Vector end, Vector point) {
    const double ax = double(end.X) - start.X, ay = double(end.Y) - start.Y,
                 az = double(end.Z) - start.Z;
    const double px = double(point.X) - start.X, py = double(point.Y) - start.Y,
                 pz = double(point.Z) - start.Z;
    const double length = std::sqrt(ax * ax + ay * ay + az * az);
    const double offset = std::sqrt(px * px + py * py + pz * pz);
    const double slack = kRounding * (offset + Norm1(start) + Norm1(point)) + 1e-6;
    if (length == 0.0) {
        return offset <= slack;
    }
    const double along = (ax * px + ay * py + az * pz) / length;
    const double cx = py * az - pz * ay, cy = pz * ax - px * az, cz = px * ay - py * ax;
    const double across = std::sqrt(cx * cx + cy * cy + cz * cz) / length;
    return across <= slack && along >= -slack && along <= length + slack;
}

bool IsRed(const sim::Color& color) {
    return color == kRed;
}

} // namespace

std::optional<std::string> FrameAuditor::Audit(const HostileFrame& frame,
                                               const std::vector<std::string>& calls,
                                               const std::vector<sim::DrawnLine>& lines,
                                               AuditTotals& totals) {
    ++totals.frames;

    // The calls, in order: colours set, points projected, lines drawn.
    std::vector<DrawEvent> events;
    std::vector<Vector> pending;
    int colourSets = 0;
    bool redThenGreen = true;
    std::size_t drawn = 0;
    for (const std::string& call : calls) {
        if (StartsWith(call, "ProjectF ")) {
            const Vector point = ParseProjectF(call);
            if (!Finite(point)) {
                return "a non-finite point reached the canvas: " + call;
            }
            pending.push_back(point);
            ++totals.projectedPoints;
        } else if (StartsWith(call, "DrawLine")) {
            if (drawn >= lines.size()) {
                return "the log holds more DrawLine calls than lines reached the canvas";
            }
            if (pending.size() != 2) {
                return "a DrawLine followed " + Num(long(pending.size())) +
                       " ProjectF calls, expected 2 (end, then start)";
            }
            events.push_back({pending[1], pending[0], lines[drawn++]});
            pending.clear();
        } else if (StartsWith(call, "SetColor ")) {
            const char* expected =
                colourSets == 0 ? "SetColor 255 0 0 150" : "SetColor 0 255 0 150";
            redThenGreen = redThenGreen && colourSets < 2 && call == expected;
            ++colourSets;
        }
    }
    if (!pending.empty()) {
        return Num(long(pending.size())) + " ProjectF calls were not followed by a DrawLine";
    }
    if (drawn != lines.size()) {
        return Num(long(lines.size())) + " lines reached the canvas but the log holds " +
               Num(long(drawn)) + " DrawLine calls";
    }
    if (lines.size() > 8) {
        return Num(long(lines.size())) + " lines drawn in one frame, at most 8 allowed";
    }
    for (const sim::DrawnLine& line : lines) {
        if (!Finite(line.start) || !Finite(line.end) || !std::isfinite(line.width)) {
            return "a non-finite DrawLine argument reached the canvas: " + Str(line.start) +
                   " to " + Str(line.end) + " width " + Num(line.width);
        }
    }

    if (!frame.OverlayApplies()) {
        for (const std::string& call : calls) {
            if (StartsWith(call, "ProjectF") || StartsWith(call, "DrawLine") ||
                StartsWith(call, "SetColor")) {
                return "the overlay does not apply in this frame, yet the plugin called " + call;
            }
        }
        return std::nullopt;
    }
    if (!redThenGreen || colourSets != 2) {
        return "the colours were set " + Num(colourSets) +
               " times, expected once red (255 0 0 150) then once green (0 255 0 150)";
    }
    if (!lines.empty()) {
        ++totals.framesDrawing;
        totals.lines += long(lines.size());
    }

    const sim::Actor& camera = *frame.camera;
    const Vector ball = frame.ball->location;
    scratch_.canvasSize = frame.canvas;
    const ViewFrustum frustum =
        ViewFrustum::Build(CanvasWrapper(&scratch_), RotatorToQuaternion(camera.rotation),
                           camera.location, camera.fov, kNearDistance, kFarDistance);
    const FrustumJudge judge(frustum, camera.location);
    const CanvasJudge canvas(camera, frame.canvas, judge);

    bool greenSeen = false;
    for (std::size_t k = 0; k < events.size(); ++k) {
        const DrawEvent& e = events[k];
        const std::string which =
            "line " + Num(long(k + 1)) + " (world " + Str(e.start) + " to " + Str(e.end) + ")";
        const bool red = IsRed(e.line.color);
        if (!red && e.line.color != kGreen) {
            return which + " was drawn in neither overlay colour";
        }
        if (red && greenSeen) {
            return which + " is red but follows a green line";
        }
        greenSeen = greenSeen || !red;
        if (!e.line.widthGiven || e.line.width != kLineWidth) {
            return which + " was not drawn with the width 3";
        }
        if (!(e.line.start == canvas.Project(e.start)) || !(e.line.end == canvas.Project(e.end))) {
            return which + " was drawn from " + Str(e.line.start) + " to " + Str(e.line.end) +
                   ", not between the projections of its two ends";
        }
        if (frame.canvas.X <= 0 || frame.canvas.Y <= 0) {
            return which + " was drawn on a canvas without area, " + Str(frame.canvas);
        }
        if (!Finite(ball)) {
            return which + " was drawn although the ball is at " + Str(ball);
        }
        bool onSegment = false;
        for (int i = red ? 0 : 4; i < (red ? 4 : 8) && !onSegment; ++i) {
            onSegment =
                OnSegment(kTargets[i], ball, e.start) && OnSegment(kTargets[i], ball, e.end);
        }
        if (!onSegment) {
            return which + " does not lie on any " + (red ? "red" : "green") +
                   " segment from a target to the ball";
        }
        const std::pair<Vector, Vector2F> ends[] = {{e.start, e.line.start}, {e.end, e.line.end}};
        for (const auto& [point, image] : ends) {
            if (const int plane = judge.Breached(point, kClipMargin); plane >= 0) {
                return "the point " + Str(point) + " handed to ProjectF lies " +
                       Num(-judge.Distance(plane, point)) + " units outside the " +
                       kPlaneNames[plane] + " plane of the frame's frustum (margin 1 plus " +
                       Num(judge.Slack(plane, point)) + " rounding)";
            }
            if (auto breach = canvas.Judge(point, image, totals)) {
                return *breach;
            }
        }
    }

    // Segments the frustum plainly holds must be drawn: whole ones unchanged,
    // and ones with one end deep inside and the other clearly out, from that end.
    const bool wellConditioned = std::isfinite(camera.fov) && camera.fov >= 1.0f &&
                                 camera.fov <= 150.0f && Finite(camera.location) &&
                                 Norm1(camera.location) <= 1e5 && frame.canvas.X > 0 &&
                                 frame.canvas.Y > 0 && frame.canvas.X <= 256 * frame.canvas.Y &&
                                 frame.canvas.Y <= 256 * frame.canvas.X;
    constexpr double kDeep = 100.0;
    for (int group = 0; group < 2; ++group) {
        long endsAtBallRequired = 0;
        for (int i = group * 4; i < group * 4 + 4; ++i) {
            const Vector target = kTargets[i];
            const bool targetIn = judge.DeepInside(target, 0.0);
            const bool ballIn = Finite(ball) && judge.DeepInside(ball, 0.0);
            if (targetIn && ballIn) {
                ++totals.wholeSegmentsRequired;
                ++endsAtBallRequired;
                const bool found =
                    std::any_of(events.begin(), events.end(), [&](const DrawEvent& e) {
                        return SameBits(e.start, target) && SameBits(e.end, ball);
                    });
                if (!found) {
                    return "the segment from target " + Num(i + 1) + " " + Str(target) +
                           " to the ball lies wholly in the frustum but was not drawn unchanged";
                }
                continue;
            }
            if (!wellConditioned || !Finite(ball) || Distance(target, ball) > 1e12) {
                continue;
            }
            if (judge.DeepInside(target, kDeep) && judge.ClearlyOutside(ball, kDeep)) {
                ++totals.clippedSegmentsRequired;
                const bool found =
                    std::any_of(events.begin(), events.end(),
                                [&](const DrawEvent& e) { return SameBits(e.start, target); });
                if (!found) {
                    return "the segment from target " + Num(i + 1) + " " + Str(target) +
                           ", well inside the frustum, to the ball outside it was not drawn "
                           "from the target";
                }
            } else if (judge.DeepInside(ball, kDeep) && judge.ClearlyOutside(target, kDeep)) {
                ++totals.clippedSegmentsRequired;
                ++endsAtBallRequired;
            }
        }
        const long endsAtBall =
            std::count_if(events.begin(), events.end(), [&](const DrawEvent& e) {
                return IsRed(e.line.color) == (group == 0) && SameBits(e.end, ball);
            });
        if (endsAtBall < endsAtBallRequired) {
            return std::string(group == 0 ? "red" : "green") + ": " + Num(endsAtBallRequired) +
                   " segments hold the ball well inside the frustum, but only " + Num(endsAtBall) +
                   " lines end at the ball";
        }
    }
    return std::nullopt;
}

} // namespace validate
