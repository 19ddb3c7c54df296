#pragma once

#include "sdk/Vector.h"
#include "sim/Host.h"

namespace sandbox {

// Moves `camera` by `step` given in its own axes: X forward, Y right, Z up.
void MoveInView(sim::Actor& camera, Vector step);

// Turns `camera` by host angle units; pitch stops short of straight up or down
// so the view never flips over.
void Turn(sim::Actor& camera, int yaw, int pitch);

// Moves `ball` over the ground in the camera's horizontal axes: X away from
// the camera, Y to its right; Z is world up. The ball stays above the ground.
void MoveBall(sim::Actor& ball, const sim::Actor& camera, Vector step);

} // namespace sandbox
