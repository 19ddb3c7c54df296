#pragma once

#include <cfloat>
#include <cmath>

#include "sdk/Vector.h"

// Double-precision helpers on the SDK's single-precision vectors: for moving
// things through the world, and for judging single-precision geometry. In no
// namespace, like the overlay's own VectorMath.

// Single-precision geometry is exact only to a few units in the last place of
// the largest magnitude involved; tolerances in judging it are this factor
// times such a magnitude. 32 ulps is several times the error of the longest
// chain of float operations between the plugin's inputs and what it hands the
// canvas.
inline constexpr double kRounding = 32.0 * FLT_EPSILON;

inline double Norm1(Vector v) {
    return std::fabs(double(v.X)) + std::fabs(double(v.Y)) + std::fabs(double(v.Z));
}

inline double Distance(Vector a, Vector b) {
    const double x = double(a.X) - b.X, y = double(a.Y) - b.Y, z = double(a.Z) - b.Z;
    return std::sqrt(x * x + y * y + z * z);
}

inline bool Finite(Vector v) {
    return std::isfinite(v.X) && std::isfinite(v.Y) && std::isfinite(v.Z);
}

inline bool Finite(Vector2F v) {
    return std::isfinite(v.X) && std::isfinite(v.Y);
}

// The point a fraction t of the way from a to b, worked out in double
// precision and rounded once.
inline Vector Lerp(Vector a, Vector b, double t) {
    return {static_cast<float>(a.X + (double(b.X) - a.X) * t),
            static_cast<float>(a.Y + (double(b.Y) - a.Y) * t),
            static_cast<float>(a.Z + (double(b.Z) - a.Z) * t)};
}
