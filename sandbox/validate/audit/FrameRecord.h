#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sdk/Vector.h"
#include "sim/Host.h"
#include "validate/audit/HostileFrame.h"

namespace validate {

// What the host recorded of one frame's drawing, as values: the world points
// handed to ProjectF in call order, the lines that reached the canvas (each
// knowing how many points had been projected before it), and the SDK calls
// as the call log wrote them.
struct FrameRecord {
    std::span<const Vector> projections;
    std::span<const sim::DrawnLine> lines;
    std::span<const std::string> calls;

    static FrameRecord Of(const sim::Host& host) {
        return {host.projections, host.lines, host.log.lines};
    }
};

// What the audits saw over a run, for the report.
struct AuditTotals {
    long frames = 0;
    long framesDrawing = 0;
    long lines = 0;
    long projectedPoints = 0;
    // Points whose canvas position was held to the canvas plus the projected
    // margin on both axes; the rest lie where the host's projection cannot
    // bound them (behind a degenerate view, or fields of view at a pole).
    long canvasBounded = 0;
    long unboundedView = 0;   // the host's view is degenerate or at a pole (fov 0, 180, ...)
    long unboundedTurn = 0;   // extreme rotators: the two cameras differ too much
    long unboundedBehind = 0; // possibly level with or behind the host's camera
    long unboundedPlanes = 0; // the plugin's float planes are degenerate there
    // The furthest an image landed beyond the canvas's edge, in pixels, in
    // ordinary frames (fields of view from 20 to 160 degrees, rotators within
    // a turn, canvases no more than four times as wide as high or high as
    // wide, the camera within 100,000 units), where only the clipping margin
    // and the planes' rounding allow it.
    double worstOrdinaryOvershoot = 0.0;
    // Segments the frame's frustum holds wholly, or half with a clear exit,
    // which therefore had to be drawn (the overlay's own audit).
    long wholeSegmentsRequired = 0;
    long clippedSegmentsRequired = 0;
};

// Judges one hostile frame by what the host recorded of it.
class FrameJudge {
public:
    virtual ~FrameJudge() = default;
    // The first breach in the frame, or nothing.
    virtual std::optional<std::string> Judge(const HostileFrame& frame,
                                             const FrameRecord& record) = 0;
    // What the judge saw over all frames, one line.
    virtual std::string Summary() const = 0;
};

} // namespace validate
