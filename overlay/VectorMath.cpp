#include "VectorMath.h"

#include <cmath>

float Dot(Vector a, Vector b) {
    return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}

Vector Cross(Vector a, Vector b) {
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}

float Length(Vector v) {
    return std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
}

Vector Normalize(Vector v) {
    const float length = Length(v);
    return {v.X / length, v.Y / length, v.Z / length};
}
