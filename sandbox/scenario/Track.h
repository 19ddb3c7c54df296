#pragma once

#include <vector>

#include "sdk/Vector.h"

namespace sandbox {

// Where something is at each frame: standing at its first waypoint, or moving
// from it through the others at a steady speed, stopping at the last or
// going round again when the path is a loop.
struct Track {
    std::vector<Vector> waypoints; // at least one
    double speed = 0.0;            // world units per frame
    bool loop = false;

    // Position at `frame`, counted from 1 (the first waypoint).
    Vector At(int frame) const;
};

} // namespace sandbox
