#include "LineSegment.h"

#include "FrustumPlane.h"
#include "VectorMath.h"
#include "ViewFrustum.h"

namespace {

// Distances from the segment's own ends use no margin, so an end exactly on a
// plane is outside. Intersection points lie on their own plane and would fail
// that test, hence one unit of slack for them.
constexpr float EndMargin = 0.0f;
constexpr float IntersectionMargin = 1.0f;

// The planes of a frustum that the segment's line crosses inside the frustum,
// within the segment, in storage order. Six at most, so it lives on the stack.
struct Crossings {
    int Planes[6] = {};
    int Count = 0;
};

Crossings FindCrossings(const LineSegment& segment, const ViewFrustum& frustum) {
    Crossings crossings;
    for (int i = 0; i < 6; ++i) {
        const FrustumPlane& plane = frustum.Planes[i];
        // The plane's CrossesLine, with the normal the frustum keeps normalised.
        if (Dot(frustum.UnitNormals[i], segment.Direction()) == 0.0f) {
            continue;
        }
        const Vector point = plane.LineIntersection(segment);
        if (!frustum.IsInside(point, IntersectionMargin)) {
            continue;
        }
        if (!segment.ContainsPoint(point)) {
            continue;
        }
        crossings.Planes[crossings.Count++] = i;
    }
    return crossings;
}

// Of the crossings' intersection points, the one nearest `target`; on equal
// distances the later plane wins.
Vector NearestCrossing(const LineSegment& segment, const ViewFrustum& frustum,
                       const Crossings& crossings, Vector target) {
    Vector nearest = frustum.Planes[crossings.Planes[0]].LineIntersection(segment);
    float nearestDistance = Length(target - nearest);
    for (int i = 1; i < crossings.Count; ++i) {
        const Vector candidate = frustum.Planes[crossings.Planes[i]].LineIntersection(segment);
        const float distance = Length(target - candidate);
        if (!(distance > nearestDistance)) {
            nearest = candidate;
            nearestDistance = distance;
        }
    }
    return nearest;
}

} // namespace

Vector LineSegment::Direction() const {
    return Normalize(End - Start);
}

void LineSegment::DrawClipped(CanvasWrapper canvas, const ViewFrustum& frustum) const {
    const bool startInside = frustum.IsInside(Start, EndMargin);
    const bool endInside = frustum.IsInside(End, EndMargin);
    if (startInside && endInside) {
        Draw(canvas);
        return;
    }

    const Crossings crossings = FindCrossings(*this, frustum);
    if (crossings.Count == 0) {
        return;
    }

    // Intersections are taken again from the unclipped segment, never from a
    // copy with one end already moved.
    LineSegment clipped = *this;
    if (startInside) {
        clipped.End = frustum.Planes[crossings.Planes[0]].LineIntersection(*this);
    } else if (endInside) {
        clipped.Start = frustum.Planes[crossings.Planes[0]].LineIntersection(*this);
    } else {
        // A line through the view enters through one plane and leaves through
        // another. Near an edge it may meet more planes within the margin, and
        // the entry and exit are then the recorded points nearest each end.
        if (crossings.Count < 2) {
            return;
        }
        clipped.Start = NearestCrossing(*this, frustum, crossings, Start);
        clipped.End = NearestCrossing(*this, frustum, crossings, End);
    }
    clipped.Draw(canvas);
}

void LineSegment::Draw(CanvasWrapper canvas) const {
    const Vector2F end = canvas.ProjectF(End);
    const Vector2F start = canvas.ProjectF(Start);
    if (Thickness == 1.0f) {
        canvas.DrawLine(start, end);
    } else {
        canvas.DrawLine(start, end, Thickness);
    }
}

bool LineSegment::ContainsPoint(Vector point) const {
    const Vector towardsStart = Normalize(Start - point);
    // At Start itself the direction is not-a-number and the test does not reject.
    if (Length(Cross(Direction(), towardsStart)) > 0.001f) {
        return false;
    }
    const float t = ParameterOf(point);
    return !(t < 0.0f || t > 1.0f);
}

float LineSegment::ParameterOf(Vector point) const {
    const Vector along = End - Start;
    const float length = Length(along);
    return Dot(along, point - Start) / (length * length);
}
