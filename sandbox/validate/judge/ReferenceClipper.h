#pragma once

#include <cmath>

#include "overlay/FrustumPlane.h"
#include "sdk/Vector.h"

// An independent clipper to hold the overlay's own against: the parametric
// (Liang-Barsky) clip of a segment against a frustum's six planes, in double
// precision. Each plane keeps the points where X·P.X + Y·P.Y + Z·P.Z + D >= 0.
// Inline, so that the benchmarks time it as they time the overlay's clipping.
namespace validate {

struct ExactPoint {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};

// The visible part of the segment as parameters along it, 0 at the start and 1
// at the end; empty when nothing is visible.
struct ClipResult {
    bool Visible = false;
    double Enter = 0.0;
    double Exit = 1.0;
    // The planes that cut the segment there, or -1 where its own end is kept.
    int EnterPlane = -1;
    int ExitPlane = -1;
};

inline ExactPoint PointOnSegment(Vector start, Vector end, double t) {
    return {start.X + t * (static_cast<double>(end.X) - start.X),
            start.Y + t * (static_cast<double>(end.Y) - start.Y),
            start.Z + t * (static_cast<double>(end.Z) - start.Z)};
}

// `margin` moves every plane outwards by that many units of its normal's length.
inline ClipResult ClipSegment(const FrustumPlane (&planes)[6], Vector start, Vector end,
                              double margin = 0.0) {
    const double delta[3] = {static_cast<double>(end.X) - start.X,
                             static_cast<double>(end.Y) - start.Y,
                             static_cast<double>(end.Z) - start.Z};
    ClipResult result{true, 0.0, 1.0, -1, -1};
    for (int i = 0; i < 6; ++i) {
        const FrustumPlane& plane = planes[i];
        const double n[3] = {plane.X, plane.Y, plane.Z};
        const double scale = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        // Inside where atStart + t * rate >= 0.
        const double atStart =
            n[0] * start.X + n[1] * start.Y + n[2] * start.Z + plane.D + margin * scale;
        const double rate = n[0] * delta[0] + n[1] * delta[1] + n[2] * delta[2];
        // A plane with not-a-number fields keeps nothing, as the overlay's own
        // inside test does.
        if (!std::isfinite(atStart) || !std::isfinite(rate)) {
            return {};
        }
        if (rate == 0.0) {
            if (atStart < 0.0) {
                return {};
            }
            continue;
        }
        const double t = -atStart / rate;
        if (rate > 0.0 && t > result.Enter) {
            result.Enter = t;
            result.EnterPlane = i;
        } else if (rate < 0.0 && t < result.Exit) {
            result.Exit = t;
            result.ExitPlane = i;
        }
        if (result.Enter > result.Exit) {
            return {};
        }
    }
    return result;
}

} // namespace validate
