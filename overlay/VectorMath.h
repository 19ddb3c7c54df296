#pragma once

#include <cmath>

#include "sdk/Vector.h"

// Single-precision vector operations on the host's Vector. Each is written in
// the exact order of operations the overlay's geometry relies on. They are
// defined here, inline, because the clipping calls them in its innermost loops
// and a call apiece costs more than the arithmetic; inlining changes no result.

inline float Dot(Vector a, Vector b) {
    return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}

// Right-handed: Cross((1,0,0), (0,1,0)) is (0,0,1).
inline Vector Cross(Vector a, Vector b) {
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}

inline float Length(Vector v) {
    return std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
}

// Each component divided by the length (not multiplied by its reciprocal, which
// rounds differently). The zero vector gives three not-a-number components.
inline Vector Normalize(Vector v) {
    const float length = Length(v);
    return {v.X / length, v.Y / length, v.Z / length};
}
