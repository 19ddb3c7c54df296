#pragma once

#include <cfloat>
#include <cmath>

#include "sdk/Vector.h"

// Double-precision helpers for judging single-precision geometry.
namespace validate {

// Single-precision geometry is exact only to a few units in the last place of
// the largest magnitude involved; the tolerances of the audit are this factor
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

} // namespace validate
