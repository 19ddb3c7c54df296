#include "overlay/FrustumPlane.h"

#include "overlay/LineSegment.h"
#include "overlay/VectorMath.h"

float SignedDistance(FrustumPlane plane, Vector point) {
    return plane.X * point.X + plane.Y * point.Y + plane.Z * point.Z + plane.D;
}

bool FrustumPlane::CrossesLine(const LineSegment& segment) const {
    return Dot(Normalize(Normal()), segment.Direction()) != 0.0f;
}

Vector FrustumPlane::LineIntersection(const LineSegment& segment) const {
    return LineIntersection(segment.Start, segment.Direction());
}
