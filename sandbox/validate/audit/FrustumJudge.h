#pragma once

#include "overlay/ViewFrustum.h"
#include "sdk/Vector.h"

namespace validate {

enum FrustumPlaneIndex { kTop, kBottom, kLeft, kRight, kNear, kFar };
const char* FrustumPlaneName(int plane);

// A frame's frustum as the plugin builds it, its planes evaluated in double
// precision, with what single precision makes of each plane's position.
class FrustumJudge {
public:
    FrustumJudge(const ViewFrustum& frustum, Vector camera);

    // Signed distance from plane i (positive inside).
    double Distance(int i, Vector point) const;
    // The rounding of the plugin's own float evaluation of that distance.
    double Slack(int i, Vector point) const;
    // How far plane i, as single precision built it, may lie from the exact
    // plane through the camera's view at `point`: its turn times the lever from
    // the corner it pivots on, the corners' own error, and the evaluation.
    double ConstructionError(int i, Vector point) const;

    // The first plane the point lies outside of by more than `allowance` plus
    // rounding; -1 when there is none.
    int Breached(Vector point, double allowance) const;
    // Inside every plane by at least `depth`, rounding aside.
    bool DeepInside(Vector point, double depth) const;
    // Outside some plane by at least `depth`, rounding aside.
    bool ClearlyOutside(Vector point, double depth) const;

private:
    Vector corners_[8];
    double normal_[6][3];
    double offset_[6];
    double turn_[6];
    double cornerError_ = 0.0;
};

} // namespace validate
