#pragma once

#include "sdk/Rotator.h"
#include "sdk/SdkExport.h"
#include "sdk/Vector.h"

namespace sim {

struct Actor;

// The game camera's view onto the canvas: forward is the camera's rotated +X
// axis, right its rotated +Y and up its rotated +Z. The horizontal field of
// view spans the canvas width; the height follows from the canvas's aspect
// ratio, so pixels are square. Computed in double precision, as a renderer
// would, independently of the plugin's own single-precision geometry.
class PLUGINSDK_API CameraView {
public:
    CameraView(Vector location, Rotator rotation, float fovDegrees, Vector2 canvas);

    // Distance of a point in front of the camera, along its forward axis.
    double Depth(Vector world) const;
    // Canvas position of a world point. Only points with a positive depth have
    // an image; for others the result has no meaning.
    Vector2F Project(Vector world) const;

    const double* Forward() const { return forward_; }
    const double* Right() const { return right_; }
    const double* Up() const { return up_; }

private:
    double origin_[3];
    double forward_[3];
    double right_[3];
    double up_[3];
    double focal_; // pixels per unit of lateral offset at unit depth
    double centreX_;
    double centreY_;
};

} // namespace sim
