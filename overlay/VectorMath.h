#pragma once

#include "sdk/Vector.h"

// Single-precision vector operations on the host's Vector. Each is written in
// the exact order of operations the overlay's geometry relies on.

// a.X·b.X + a.Y·b.Y + a.Z·b.Z
float Dot(Vector a, Vector b);
// Right-handed: Cross((1,0,0), (0,1,0)) is (0,0,1).
Vector Cross(Vector a, Vector b);
float Length(Vector v);
// Each component divided by the length (not multiplied by its reciprocal, which
// rounds differently). The zero vector gives three not-a-number components.
Vector Normalize(Vector v);
