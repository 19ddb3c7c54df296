#pragma once

#include "sdk/CanvasWrapper.h"
#include "sdk/Vector.h"

// Only named here: DrawClipped, the one member that uses the frustum, is
// defined with its clipping helpers in SegmentClipping.cpp, so that the
// segment's own file needs nothing of the frustum.
struct ViewFrustum;

// A straight piece of line between two world points, drawn `Thickness` pixels wide.
struct LineSegment {
    Vector Start;
    Vector End;
    // Exactly 1.0 selects the host's line drawing without a width argument.
    float Thickness = 1.0f;

    // Unit vector from Start towards End; not-a-number when the ends coincide.
    Vector Direction() const;

    // Draws the piece of the segment inside the frustum, or nothing when the
    // segment does not pass through it. The ends handed to the canvas lie inside
    // the frustum or, where the segment was cut, on its boundary within one unit.
    void DrawClipped(CanvasWrapper canvas, const ViewFrustum& frustum) const;
    // Projects both ends and draws the line between them, unclipped. Both ends
    // must be in front of the camera.
    void Draw(CanvasWrapper canvas) const;

    // The point lies on the segment, ends included. The test on the line is one
    // of direction (the sine of the angle seen from Start), not of distance.
    bool ContainsPoint(Vector point) const;
    // Where the point's projection onto the line falls: 0 at Start, 1 at End.
    float ParameterOf(Vector point) const;
};
