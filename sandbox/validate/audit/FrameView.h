#pragma once

#include "overlay/ViewFrustum.h"
#include "sim/Host.h"

namespace validate {

// The view every plugin's drawing is held to: what the frame's camera sees on
// the frame's canvas from 50 to 20,000 units in front of it, the depths the
// host draws world geometry between. Built with the overlay library's own
// ViewFrustum::Build, so that a plugin clipping with that library is judged
// against the very planes it clipped to.
inline constexpr float kNearDistance = 50.0f;
inline constexpr float kFarDistance = 20000.0f;

// The frustum of `camera` on a canvas of `canvas` pixels. `scratch` is a host
// the canvas size is read from through a handle, as Build reads it.
ViewFrustum FrameFrustum(const sim::Actor& camera, Vector2 canvas, sim::Host& scratch);

} // namespace validate
