#pragma once

#include <optional>
#include <string>

#include "sim/Host.h"
#include "validate/audit/FrameRecord.h"
#include "validate/audit/HostileFrame.h"

namespace validate {

// Judges a frame by rules every plugin of this host must keep, whatever it
// draws: every argument that reaches the canvas is finite, and every point
// handed to ProjectF is one the camera can see - inside the frame's frustum
// (see FrameView.h) within the clipping margin, judged by the one clipping
// judge (ClipJudge) - with its image on the canvas plus what that margin
// projects to (CanvasJudge, by the host's own double-precision projection).
// Lines drawn straight on the canvas, without a projection, are the plugin's
// own business.
class FrameAuditor : public FrameJudge {
public:
    std::optional<std::string> Judge(const HostileFrame& frame, const FrameRecord& record) override;
    std::string Summary() const override;

    const AuditTotals& Totals() const { return totals_; }

private:
    AuditTotals totals_;
    // Builds frusta: ViewFrustum::Build reads the canvas size through a handle.
    sim::Host scratch_;
};

} // namespace validate
