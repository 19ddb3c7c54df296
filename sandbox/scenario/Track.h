#pragma once

#include <vector>

#include "sdk/Vector.h"

namespace sandbox {

// Where something is at each frame: standing at its first waypoint, or moving
// from it through the others at a steady speed, stopping at the last or
// going round again when the path is a loop.
class Track {
public:
    // `waypoints` holds at least one point; `speed` is in world units per frame.
    explicit Track(std::vector<Vector> waypoints, double speed = 0.0, bool loop = false);

    // Position at `frame`, counted from 1 (the first waypoint).
    Vector At(int frame) const;

private:
    std::vector<Vector> waypoints_;
    // How far along the path each leg ends, so that a frame finds its leg by
    // a binary search however long the path (a loop's last leg leads back to
    // the first waypoint).
    std::vector<double> legEnds_;
    double speed_;
    bool loop_;
};

} // namespace sandbox
