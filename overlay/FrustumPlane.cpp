#include "FrustumPlane.h"

#include "LineSegment.h"
#include "VectorMath.h"

FrustumPlane PlaneFromPoints(Vector p0, Vector p1, Vector p2) {
    const Vector n = Cross(p0 - p1, p2 - p1);
    const float length = Length(n);
    // Divided by the length, never multiplied by its reciprocal: the two round
    // differently, and the offset is formed against the unscaled normal.
    return {n.X / length, n.Y / length, n.Z / length, -Dot(n, p1) / length};
}

float SignedDistance(FrustumPlane plane, Vector point) {
    return plane.X * point.X + plane.Y * point.Y + plane.Z * point.Z + plane.D;
}

bool FrustumPlane::CrossesLine(const LineSegment& segment) const {
    return Dot(Normalize(Normal()), segment.Direction()) != 0.0f;
}

Vector FrustumPlane::LineIntersection(const LineSegment& segment) const {
    return LineIntersection(segment.Start, segment.Direction());
}
