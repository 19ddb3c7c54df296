#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ClipInput.h"
#include "overlay/ViewFrustum.h"
#include "sim/Host.h"

// What one clipped draw may hand the canvas, judged from the host's call log
// and its drawn lines: at most one line, from two projected points; nothing
// non-finite; both points on the segment and inside the frustum the draw was
// given, within the intersection test's one-unit margin plus single-precision
// rounding. The first breach found, or nothing.
std::optional<std::string> JudgeClippedDraw(const ClipInput& input, const ViewFrustum& frustum,
                                            const std::vector<std::string>& calls,
                                            const std::vector<sim::DrawnLine>& lines);
