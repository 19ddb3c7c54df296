#pragma once

#include "sdk/Vector.h"
#include "sim/Host.h"

namespace validate {

// What Quellmark's overlay must draw, as the validator's own checks of
// Quellmark expect it. Written here on purpose rather than taken from the
// plugin's render pass (plugin/RenderOverlay.cpp): the validator is an
// independent check, and a wrong target there must fail it, not move its
// expectations along.

// The eight fixed ends of the overlay's lines, in drawing order: four red at
// the positive-Y end of the field, four green at the negative-Y end.
inline constexpr Vector kTargets[8] = {
    {800.0f, 5000.0f, 0.0f},    {-800.0f, 5000.0f, 0.0f},    {800.0f, 5000.0f, 600.0f},
    {-800.0f, 5000.0f, 600.0f}, {800.0f, -5000.0f, 0.0f},    {-800.0f, -5000.0f, 0.0f},
    {800.0f, -5000.0f, 600.0f}, {-800.0f, -5000.0f, 600.0f},
};
inline constexpr sim::Color kRed{255, 0, 0, 150};
inline constexpr sim::Color kGreen{0, 255, 0, 150};
inline constexpr float kLineWidth = 3.0f;

inline sim::Color TargetColor(int target) {
    return target < 4 ? kRed : kGreen;
}

} // namespace validate
