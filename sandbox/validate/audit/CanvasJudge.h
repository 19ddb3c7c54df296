#pragma once

#include <optional>
#include <string>

#include "sim/CameraView.h"
#include "sim/Host.h"
#include "validate/audit/FrameAudit.h"
#include "validate/audit/FrustumJudge.h"

namespace validate {

// Where the host's projection may put the image of a point the plugin held
// inside its frustum within the clipping margin: the canvas, widened by what
// that margin (and the uncertainty of the plugin's float planes) projects to
// at the point's depth, and by the small angle by which the plugin's
// single-precision camera (its rotator factor, its float conversions) may
// differ from the host's double-precision one.
class CanvasJudge {
public:
    // `frustum` is the plugin's frustum of the same frame; it must outlive this.
    CanvasJudge(const sim::Actor& camera, Vector2 canvas, const FrustumJudge& frustum);

    // Checks the image of one point handed to ProjectF; counts it as held to
    // the canvas or as beyond any bound, and why.
    std::optional<std::string> Judge(Vector point, Vector2F image, AuditTotals& totals) const;

    // The host's own projection of the point.
    Vector2F Project(Vector point) const { return view_.Project(point); }

private:
    sim::CameraView view_;
    sim::Actor camera_;
    const FrustumJudge& frustum_;
    double halfWidth_ = 0.0;
    double halfHeight_ = 0.0;
    double focal_ = 0.0;
    double boundX_ = 0.0;
    double boundY_ = 0.0;
    double angle_ = 0.0;
    bool valid_ = false;
    bool linear_ = false;
    bool ordinary_ = false;
    bool mirrored_ = false;
};

} // namespace validate
