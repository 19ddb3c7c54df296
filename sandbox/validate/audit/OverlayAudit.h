#pragma once

#include <optional>
#include <string>

#include "sim/Host.h"
#include "validate/audit/FrameRecord.h"
#include "validate/audit/HostileFrame.h"

namespace validate {

// Judges a frame by what Quellmark's overlay must draw in it (OverlayTargets.h):
// nothing at all unless the overlay applies (switched on, in one of its modes,
// with server, ball and camera); otherwise the colours set once red then once
// green, at most eight lines of width 3, each drawn between the host's
// projections of the two points projected just before it, each a clipping of
// a segment from a target of its colour to the ball (ClipJudge::JudgePiece);
// and the segments the frame's frustum plainly holds drawn.
class OverlayAuditor : public FrameJudge {
public:
    std::optional<std::string> Judge(const HostileFrame& frame, const FrameRecord& record) override;
    std::string Summary() const override;

private:
    AuditTotals totals_;
    // Builds frusta: ViewFrustum::Build reads the canvas size through a handle.
    sim::Host scratch_;
};

} // namespace validate
