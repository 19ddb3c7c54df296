#pragma once

#include "overlay/LineSegment.h"
#include "overlay/VectorMath.h"
#include "sdk/Vector.h"

// A segment's line and the two tests of a point against it, shared by the
// segment's own queries (LineSegment.cpp) and its clipped drawing
// (SegmentClipping.cpp). Inline: the clipping calls them for every candidate
// point, and a call apiece costs more than the arithmetic.

// The segment's line as the tests of one clipped draw use it, worked out once
// rather than at every plane and candidate point. Each field is formed exactly
// as Direction() and ParameterOf() form it, which are written in terms of this,
// so the two ways of asking can never disagree in a bit.
struct SegmentLine {
    Vector Start;
    // End - Start.
    Vector Along;
    // The length of Along, taken with a square root and multiplied by itself.
    float LengthSquared;
    // Along divided by its length, component by component, as Normalize does.
    Vector Direction;
};

inline SegmentLine LineOf(const LineSegment& segment) {
    const Vector along = segment.End - segment.Start;
    const float length = Length(along);
    return {segment.Start,
            along,
            length * length,
            {along.X / length, along.Y / length, along.Z / length}};
}

inline float ParameterAlong(const SegmentLine& line, Vector point) {
    return Dot(line.Along, point - line.Start) / line.LengthSquared;
}

// The two halves of ContainsPoint. Both are pure, so the clipping may ask the
// cheaper one first.
inline bool WithinEnds(const SegmentLine& line, Vector point) {
    const float t = ParameterAlong(line, point);
    return !(t < 0.0f || t > 1.0f);
}

// The sine of the angle between the segment and the direction from the point to
// Start. At Start itself that direction is not-a-number and the test passes.
inline bool AlongLine(const SegmentLine& line, Vector point) {
    const Vector towardsStart = Normalize(line.Start - point);
    return !(Length(Cross(line.Direction, towardsStart)) > 0.001f);
}
