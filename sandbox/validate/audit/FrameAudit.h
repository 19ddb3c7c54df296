#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/Host.h"
#include "validate/audit/HostileFrame.h"

namespace validate {

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
    // which therefore had to be drawn.
    long wholeSegmentsRequired = 0;
    long clippedSegmentsRequired = 0;
};

// Judges one frame by the SDK calls the plugin made in it (the host's call
// log) and the lines that reached the canvas. The frustum the plugin should
// have clipped to is built with the overlay library's own ViewFrustum::Build
// from the same inputs; the canvas positions are judged by the host's own
// double-precision projection, independently of the plugin's geometry.
class FrameAuditor {
public:
    // The first breach in the frame, or nothing.
    std::optional<std::string> Audit(const HostileFrame& frame,
                                     const std::vector<std::string>& calls,
                                     const std::vector<sim::DrawnLine>& lines, AuditTotals& totals);

private:
    // Builds frusta: ViewFrustum::Build reads the canvas size through a handle.
    sim::Host scratch_;
};

} // namespace validate
