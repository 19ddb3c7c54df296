#pragma once

#include <optional>
#include <string>

#include "overlay/ViewFrustum.h"
#include "sim/CameraView.h"
#include "sim/Host.h"
#include "validate/audit/FrameRecord.h"
#include "validate/judge/ClipJudge.h"

namespace validate {

// Where the host's projection may put the image of a point the plugin held
// inside its frustum within the clipping margin: the canvas, widened by what
// that margin (and the uncertainty of the plugin's float planes) projects to
// at the point's depth, and by the small angle by which the plugin's
// single-precision camera (its rotator factor, its float conversions) may
// differ from the host's double-precision one.
class CanvasJudge {
public:
    // `frustum` is the frame's, as the plugin's geometry builds it, and `clip`
    // its judge; the judge must outlive this.
    CanvasJudge(const sim::Actor& camera, Vector2 canvas, const ViewFrustum& frustum,
                const ClipJudge& clip);

    // Checks the image of one point handed to ProjectF; counts it as held to
    // the canvas or as beyond any bound, and why.
    std::optional<std::string> Judge(Vector point, Vector2F image, AuditTotals& totals) const;

    // The host's own projection of the point.
    Vector2F Project(Vector point) const { return view_.Project(point); }

private:
    // How far plane i, as single precision built it, may lie from the exact
    // plane through the camera's view at `point`: its turn times the lever from
    // the corner it pivots on, the corners' own error, and the evaluation.
    double ConstructionError(int plane, Vector point) const;
    void MeasurePlanes(const ViewFrustum& frustum);
    void MeasureView(Vector2 canvas);

    sim::CameraView view_;
    sim::Actor camera_;
    const ClipJudge& clip_;
    Vector corners_[8];
    double turn_[6] = {};
    double cornerError_ = 0.0;
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
