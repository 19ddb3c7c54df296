#pragma once

#include <optional>
#include <string>

#include "overlay/FrustumPlane.h"
#include "sdk/Vector.h"

namespace validate {

// The margin the clipping grants the points where it cuts a segment, in world
// units: a crossing lies on its own plane, and within this of the others.
inline constexpr double kClipMargin = 1.0;

enum FrustumPlaneIndex { kTop, kBottom, kLeft, kRight, kNear, kFar };
const char* FrustumPlaneName(int plane);

// How far the point lies off the segment from `start` to `end` (beyond either
// end, or across its line), less what single-precision rounding allows; 0 on
// it. A segment of no length holds only its point.
double OffSegment(Vector start, Vector end, Vector point);

// What a clipped drawing may hand the canvas, judged against a frustum's six
// planes in double precision, each normal brought to unit length: a point
// inside every plane, or outside by at most the clipping margin plus the
// rounding of the plugin's own single-precision test; a drawn piece of a
// segment that lies on it, runs the segment's way and holds only such points.
// Not-a-number anywhere is outside.
class ClipJudge {
public:
    explicit ClipJudge(const FrustumPlane (&planes)[6]);

    // Signed distance from plane i, positive inside.
    double Distance(int plane, Vector point) const;
    // The rounding of a single-precision evaluation of that distance.
    double Slack(int plane, Vector point) const;

    // The first plane the point lies outside of by more than `allowance` plus
    // rounding; -1 when there is none.
    int Breached(Vector point, double allowance = kClipMargin) const;
    // Inside every plane by at least `depth`, rounding aside.
    bool DeepInside(Vector point, double depth) const;
    // Outside some plane by at least `depth`, rounding aside.
    bool ClearlyOutside(Vector point, double depth) const;

    // Why the point may not reach the canvas, naming the plane; nothing when it may.
    std::optional<std::string> JudgePoint(Vector point) const;
    // Why the piece drawn from `drawnStart` to `drawnEnd` is no clipping of the
    // segment from `start` to `end`; nothing when it is one.
    std::optional<std::string> JudgePiece(Vector start, Vector end, Vector drawnStart,
                                          Vector drawnEnd) const;

private:
    double normal_[6][3];
    double offset_[6];
};

} // namespace validate
