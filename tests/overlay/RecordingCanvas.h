#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sdk/CanvasWrapper.h"
#include "sdk/Rotator.h"
#include "sdk/Vector.h"
#include "sim/CallLogReader.h"
#include "sim/Host.h"

// A simulated host with a camera and a canvas whose SDK calls are logged, for
// tests that watch what the overlay asks of the canvas.
struct RecordingCanvas {
    sim::Host host;

    explicit RecordingCanvas(Vector2 size = {1600, 900}, Vector location = {},
                             Rotator rotation = {}, float fov = 90.0f) {
        host.camera = sim::Actor{location, rotation, fov};
        host.canvasSize = size;
        host.log.calls = true;
    }

    CanvasWrapper Canvas() { return CanvasWrapper(&host); }
    const std::vector<std::string>& Log() const { return host.log.lines; }
    void Clear() {
        host.log.Clear();
        host.lines.clear();
    }
};

// The world ends of the one line drawn, read from the projections in the log:
// the end is projected first, then the start.
struct DrawnSegment {
    Vector Start;
    Vector End;
};

inline std::optional<DrawnSegment> DrawnFromLog(const std::vector<std::string>& log) {
    std::vector<Vector> projected;
    for (const std::string& line : log) {
        if (auto point = sim::ProjectedPoint(line)) {
            projected.push_back(*point);
        }
    }
    if (projected.size() != 2) {
        return std::nullopt;
    }
    return DrawnSegment{projected[1], projected[0]};
}
