#include "validate/judge/ClipJudge.h"

#include <algorithm>
#include <cmath>

#include "base/WorldMath.h"
#include "validate/judge/ValueText.h"

namespace validate {

namespace {

// Where along the segment's line the point falls, in world units from `start`,
// and how far from the line; `length` is the segment's.
struct LinePosition {
    double along = 0.0;
    double across = 0.0;
    double length = 0.0;
    double offset = 0.0; // from `start`
};

LinePosition PositionOn(Vector start, Vector end, Vector point) {
    const double ax = double(end.X) - start.X, ay = double(end.Y) - start.Y,
                 az = double(end.Z) - start.Z;
    const double px = double(point.X) - start.X, py = double(point.Y) - start.Y,
                 pz = double(point.Z) - start.Z;
    LinePosition position;
    position.length = std::sqrt(ax * ax + ay * ay + az * az);
    position.offset = std::sqrt(px * px + py * py + pz * pz);
    if (position.length > 0.0) {
        position.along = (ax * px + ay * py + az * pz) / position.length;
        const double cx = py * az - pz * ay, cy = pz * ax - px * az, cz = px * ay - py * ax;
        position.across = std::sqrt(cx * cx + cy * cy + cz * cz) / position.length;
    }
    return position;
}

// Rounding allowed on a point's position relative to the segment: a few ulps
// of the largest magnitude in play, and a millionth of a unit near the origin.
double PositionSlack(Vector start, Vector point, double offset) {
    return kRounding * (offset + Norm1(start) + Norm1(point)) + 1e-6;
}

} // namespace

const char* FrustumPlaneName(int plane) {
    constexpr const char* kNames[6] = {"top", "bottom", "left", "right", "near", "far"};
    return plane >= 0 && plane < 6 ? kNames[plane] : "?";
}

double OffSegment(Vector start, Vector end, Vector point) {
    const LinePosition p = PositionOn(start, end, point);
    const double slack = PositionSlack(start, point, p.offset);
    if (std::isnan(p.offset) || std::isnan(p.length)) {
        return INFINITY;
    }
    if (!(p.length > 0.0)) {
        return std::max(0.0, p.offset - slack);
    }
    const double beyond = std::max(-p.along, p.along - p.length);
    const double off = std::max({0.0, p.across - slack, beyond - slack});
    return std::isnan(off) ? INFINITY : off;
}

ClipJudge::ClipJudge(const FrustumPlane (&planes)[6]) {
    for (int i = 0; i < 6; ++i) {
        const FrustumPlane& p = planes[i];
        const double length = std::sqrt(double(p.X) * p.X + double(p.Y) * p.Y + double(p.Z) * p.Z);
        normal_[i][0] = p.X / length;
        normal_[i][1] = p.Y / length;
        normal_[i][2] = p.Z / length;
        offset_[i] = p.D;
    }
}

double ClipJudge::Distance(int i, Vector point) const {
    return normal_[i][0] * point.X + normal_[i][1] * point.Y + normal_[i][2] * point.Z + offset_[i];
}

double ClipJudge::Slack(int i, Vector point) const {
    return kRounding * (Norm1(point) + std::fabs(offset_[i]) + 1.0);
}

int ClipJudge::Breached(Vector point, double allowance) const {
    for (int i = 0; i < 6; ++i) {
        // Written as "not at least" so that not-a-number breaches.
        if (!(Distance(i, point) >= -allowance - Slack(i, point))) {
            return i;
        }
    }
    return -1;
}

bool ClipJudge::DeepInside(Vector point, double depth) const {
    for (int i = 0; i < 6; ++i) {
        if (!(Distance(i, point) >= depth + Slack(i, point))) {
            return false;
        }
    }
    return true;
}

bool ClipJudge::ClearlyOutside(Vector point, double depth) const {
    for (int i = 0; i < 6; ++i) {
        if (Distance(i, point) <= -depth - Slack(i, point)) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> ClipJudge::JudgePoint(Vector point) const {
    const int plane = Breached(point);
    if (plane < 0) {
        return std::nullopt;
    }
    return "the point " + Str(point) + " handed to ProjectF lies " + Num(-Distance(plane, point)) +
           " units outside the " + FrustumPlaneName(plane) +
           " plane of the frame's frustum (margin 1 plus " + Num(Slack(plane, point)) +
           " rounding)";
}

std::optional<std::string> ClipJudge::JudgePiece(Vector start, Vector end, Vector drawnStart,
                                                 Vector drawnEnd) const {
    for (Vector point : {drawnStart, drawnEnd}) {
        if (const double off = OffSegment(start, end, point); off > 0.0) {
            return "the drawn end " + Str(point) + " lies " + Num(off) + " units off the segment " +
                   Str(start) + " to " + Str(end);
        }
    }
    const LinePosition first = PositionOn(start, end, drawnStart);
    const LinePosition second = PositionOn(start, end, drawnEnd);
    if (first.along > second.along + PositionSlack(start, drawnEnd, second.offset)) {
        return "the piece drawn from " + Str(drawnStart) + " to " + Str(drawnEnd) +
               " runs against its segment's direction";
    }
    for (Vector point : {drawnStart, drawnEnd}) {
        if (auto breach = JudgePoint(point)) {
            return breach;
        }
    }
    return std::nullopt;
}

} // namespace validate
