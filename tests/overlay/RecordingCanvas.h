#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sdk/CanvasWrapper.h"
#include "sdk/Rotator.h"
#include "sdk/Vector.h"
#include "sim/Host.h"

// A simulated host with a camera and a canvas whose SDK calls are logged, and
// the points handed to ProjectF recorded as values, for tests that watch what
// the overlay asks of the canvas.
struct RecordingCanvas {
    sim::Host host;

    explicit RecordingCanvas(Vector2 size = {1600, 900}, Vector location = {},
                             Rotator rotation = {}, float fov = 90.0f) {
        host.camera = sim::Actor{location, rotation, fov};
        host.canvasSize = size;
        host.log.calls = true;
        host.recordProjections = true;
    }

    CanvasWrapper Canvas() { return CanvasWrapper(&host); }
    const std::vector<std::string>& Log() const { return host.log.lines; }
    void Clear() {
        host.log.Clear();
        host.lines.clear();
        host.projections.clear();
    }
};

// The world ends of the one line drawn, from the two points projected for
// it: the end is projected first, then the start. Nothing unless exactly two
// points were projected.
struct DrawnSegment {
    Vector Start;
    Vector End;
};

inline std::optional<DrawnSegment> DrawnFrom(const sim::Host& host) {
    if (host.projections.size() != 2) {
        return std::nullopt;
    }
    return DrawnSegment{host.projections[1], host.projections[0]};
}
