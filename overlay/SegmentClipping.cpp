// LineSegment::DrawClipped: the segment cut to the frame's view frustum.
// Apart from the segment's other members, so that the segment itself needs
// nothing of the frustum and the frustum's planes may take segments.

#include <algorithm>
#include <cmath>

#include "overlay/FrustumPlane.h"
#include "overlay/LineSegment.h"
#include "overlay/SegmentLine.h"
#include "overlay/VectorMath.h"
#include "overlay/ViewFrustum.h"

namespace {

// Distances from the segment's own ends use no margin, so an end exactly on a
// plane is outside. Intersection points lie on their own plane and would fail
// that test, hence one unit of slack for them.
constexpr float EndMargin = 0.0f;
constexpr float IntersectionMargin = 1.0f;

// Where the segment's line crosses the frustum's planes inside the frustum and
// within the segment, in plane storage order. Six at most, so it lives on the
// stack. The points are kept as found: computing one again from its plane and
// the unclipped segment would give the same bits.
struct Crossings {
    Vector Points[6];
    int Count = 0;
};

// With `firstOnly` the search stops at the first crossing: a segment with one
// end inside is cut at the first crossing and no other, so the rest would be
// looked for only to be ignored.
inline Crossings FindCrossings(const SegmentLine& line, const ViewFrustum& frustum,
                               bool firstOnly) {
    Crossings crossings;
    for (int i = 0; i < 6; ++i) {
        // The plane's CrossesLine, with the normal the frustum keeps normalised.
        if (Dot(frustum.UnitNormals[i], line.Direction) == 0.0f) {
            continue;
        }
        const Vector point = frustum.Planes[i].LineIntersection(line.Start, line.Direction);
        // Inside the frustum (within the margin) and on the segment, the cheap
        // tests first: points beyond either end are the common rejection.
        if (!WithinEnds(line, point) || !frustum.IsInside(point, IntersectionMargin) ||
            !AlongLine(line, point)) {
            continue;
        }
        crossings.Points[crossings.Count++] = point;
        if (firstOnly) {
            break;
        }
    }
    return crossings;
}

// True when both ends lie so far beyond one plane that the search for crossings
// could record nothing, so that the segment is not drawn, whatever the search
// would find. Only ever a shortcut to the same outcome:
//
// A point the search records passed the within-ends test, so it lies on the
// segment up to rounding: its exact distance from any plane is at most the
// larger of the two ends' distances plus the rounding of the intersection, of
// its parameter and of the distances themselves. Each of those is a small
// multiple of u·(R + |D| + 1), with u = 2^-24, R the largest end coordinate
// and D the plane's offset. The point is recorded only if its distance plus
// the one-unit margin comes out positive, so ends more than 1 + 256·u·(4R +
// |D| + 1) beyond the plane leave it no way in; 256 is ten times what the
// errors can add up to. Input that is not finite never takes the shortcut.
inline bool BeyondOnePlane(const ViewFrustum& frustum, Vector start, Vector end) {
    for (int i = 0; i < 6; ++i) {
        const float offset = frustum.Planes[i].D;
        const float startDistance = Dot(frustum.UnitNormals[i], start) + offset;
        // The bound below is never less than the margin: the cheap test first.
        if (!(startDistance < -IntersectionMargin)) {
            continue;
        }
        const float endDistance = Dot(frustum.UnitNormals[i], end) + offset;
        if (!(endDistance < -IntersectionMargin)) {
            continue;
        }
        const float reach = std::max({std::fabs(start.X), std::fabs(start.Y), std::fabs(start.Z),
                                      std::fabs(end.X), std::fabs(end.Y), std::fabs(end.Z)});
        // Also false for not-a-number.
        if (!(reach < 1.0e30f)) {
            return false;
        }
        const float beyond =
            -(IntersectionMargin + 0x1p-16f * (4.0f * reach + std::fabs(offset) + 1.0f));
        if (startDistance < beyond && endDistance < beyond) {
            return true;
        }
    }
    return false;
}

// Of the crossings, the one nearest `target`; on equal distances the later
// plane wins.
inline Vector NearestCrossing(const Crossings& crossings, Vector target) {
    Vector nearest = crossings.Points[0];
    float nearestDistance = Length(target - nearest);
    for (int i = 1; i < crossings.Count; ++i) {
        const Vector candidate = crossings.Points[i];
        const float distance = Length(target - candidate);
        if (!(distance > nearestDistance)) {
            nearest = candidate;
            nearestDistance = distance;
        }
    }
    return nearest;
}

} // namespace

void LineSegment::DrawClipped(CanvasWrapper canvas, const ViewFrustum& frustum) const {
    const bool startInside = frustum.IsInside(Start, EndMargin);
    const bool endInside = frustum.IsInside(End, EndMargin);
    if (startInside && endInside) {
        Draw(canvas);
        return;
    }

    if (!startInside && !endInside && BeyondOnePlane(frustum, Start, End)) {
        return;
    }
    const Crossings crossings = FindCrossings(LineOf(*this), frustum, startInside || endInside);
    if (crossings.Count == 0) {
        return;
    }

    // The crossings lie on the unclipped segment's line, never on a copy with
    // one end already moved.
    LineSegment clipped = *this;
    if (startInside) {
        clipped.End = crossings.Points[0];
    } else if (endInside) {
        clipped.Start = crossings.Points[0];
    } else {
        // A line through the view enters through one plane and leaves through
        // another. Near an edge it may meet more planes within the margin, and
        // the entry and exit are then the recorded points nearest each end.
        if (crossings.Count < 2) {
            return;
        }
        clipped.Start = NearestCrossing(crossings, Start);
        clipped.End = NearestCrossing(crossings, End);
    }
    clipped.Draw(canvas);
}
