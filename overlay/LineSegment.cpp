#include "overlay/LineSegment.h"

#include "overlay/SegmentLine.h"
#include "overlay/VectorMath.h"

Vector LineSegment::Direction() const {
    return LineOf(*this).Direction;
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
    const SegmentLine line = LineOf(*this);
    return AlongLine(line, point) && WithinEnds(line, point);
}

float LineSegment::ParameterOf(Vector point) const {
    return ParameterAlong(LineOf(*this), point);
}
