#pragma once

#include <optional>
#include <string>

#include "ClipInput.h"
#include "overlay/ViewFrustum.h"
#include "sim/Host.h"

// What one clipped draw may hand the canvas, judged from what the host
// recorded as values (the points handed to ProjectF and the lines drawn): at
// most one line, drawn after its two points were projected and between their
// projections; nothing non-finite; the two points a clipping of the segment
// by the frustum the draw was given, as the validator's clipping judge
// (ClipJudge) decides. The first breach found, or nothing.
std::optional<std::string> JudgeClippedDraw(const ClipInput& input, const ViewFrustum& frustum,
                                            const sim::Host& host);
