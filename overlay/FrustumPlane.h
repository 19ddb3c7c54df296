#pragma once

#include "overlay/VectorMath.h"
#include "sdk/Vector.h"

struct LineSegment;

// A plane in normal-and-offset form: the points P with X·P.X + Y·P.Y + Z·P.Z + D = 0.
// (X, Y, Z) is a unit normal up to rounding; the side it points to is positive.
struct FrustumPlane {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
    float D = 0.0f;

    Vector Normal() const { return {X, Y, Z}; }

    // False only when the segment's direction is exactly perpendicular to the
    // normal. No tolerance: a nearly parallel line still counts as crossing.
    bool CrossesLine(const LineSegment& segment) const;
    // Where the segment's unbounded line meets the plane; may lie beyond either
    // end. Meaningful only when CrossesLine is true.
    Vector LineIntersection(const LineSegment& segment) const;
    // The same for the line through `start` along `direction`, the segment's
    // unit direction. Inline: the clipping calls it once per plane.
    Vector LineIntersection(Vector start, Vector direction) const {
        const Vector n = Normal();
        const float k = (Dot(n, start) + D) / Dot(n, direction);
        return start - direction * k;
    }

    friend constexpr bool operator==(FrustumPlane, FrustumPlane) = default;
};

// The plane through three points, both edges taken from the middle one. The
// normal points to the side from which p0, p1, p2 appear clockwise; points on
// one line give not-a-number fields.
//
// Inline, like the other small geometry here: a FrustumPlane or Vector passed
// or returned across a call goes through the stack in pieces, which costs more
// than the arithmetic.
inline FrustumPlane PlaneFromPoints(Vector p0, Vector p1, Vector p2) {
    const Vector n = Cross(p0 - p1, p2 - p1);
    const float length = Length(n);
    // Divided by the length, never multiplied by its reciprocal: the two round
    // differently, and the offset is formed against the unscaled normal.
    return {n.X / length, n.Y / length, n.Z / length, -Dot(n, p1) / length};
}

// Positive on the side the normal points to, zero on the plane.
float SignedDistance(FrustumPlane plane, Vector point);
