#include "validate/audit/FrameView.h"

#include "overlay/Quaternion.h"

namespace validate {

ViewFrustum FrameFrustum(const sim::Actor& camera, Vector2 canvas, sim::Host& scratch) {
    scratch.canvasSize = canvas;
    return ViewFrustum::Build(CanvasWrapper(&scratch), RotatorToQuaternion(camera.rotation),
                              camera.location, camera.fov, kNearDistance, kFarDistance);
}

} // namespace validate
