#include "plugin/Quellmark.h"

#include "overlay/LineSegment.h"
#include "overlay/Quaternion.h"
#include "overlay/ViewFrustum.h"
#include "sdk/GameWrapper.h"

namespace {

// The corners of two upright rectangles, 1600 wide and 600 high, standing
// across the field at either end; each line runs from one of them to the ball.
constexpr Vector kRedTargets[] = {
    {800.0f, 5000.0f, 0.0f},
    {-800.0f, 5000.0f, 0.0f},
    {800.0f, 5000.0f, 600.0f},
    {-800.0f, 5000.0f, 600.0f},
};
constexpr Vector kGreenTargets[] = {
    {800.0f, -5000.0f, 0.0f},
    {-800.0f, -5000.0f, 0.0f},
    {800.0f, -5000.0f, 600.0f},
    {-800.0f, -5000.0f, 600.0f},
};

constexpr float kLineThickness = 3.0f;
constexpr float kNearDistance = 50.0f;
constexpr float kFarDistance = 20000.0f;

} // namespace

// Handles are declared in the order they are obtained, so they are destroyed
// in reverse: camera, ball, server, and the canvas last, by the caller.
void Quellmark::RenderOverlay(CanvasWrapper canvas) {
    if (!enabled || !*enabled) {
        return;
    }
    if (!gameWrapper->IsInCustomTraining() && !gameWrapper->IsInFreeplay() &&
        !gameWrapper->IsInReplay()) {
        return;
    }

    ServerWrapper server = gameWrapper->GetGameEventAsServer();
    BallWrapper ball = server.GetBall();
    if (ball.IsNull()) {
        return;
    }
    const Vector ballLocation = ball.GetLocation();

    CameraWrapper camera = gameWrapper->GetCamera();
    if (camera.IsNull()) {
        return;
    }

    // One frustum serves all eight lines of the frame. The camera is read
    // through one more copy of its handle, alive only while the frustum is
    // built. The copy buys nothing in itself and is kept on purpose: the
    // handles a frame makes and destroys (two of the camera) are what a host
    // counting or logging handles has always seen of this plugin.
    Vector cameraLocation;
    float fov = 0.0f;
    const ViewFrustum frustum = [&] {
        const CameraWrapper view = camera;
        fov = view.GetFOV();
        cameraLocation = view.GetLocation();
        const Rotator rotation = view.GetRotation();
        return ViewFrustum::Build(canvas, RotatorToQuaternion(rotation), cameraLocation, fov,
                                  kNearDistance, kFarDistance);
    }();
    // A view too degenerate for single precision to bound draws no line,
    // rather than lines from points that have no image.
    const bool viewIsBounded = frustum.BoundsTheView(cameraLocation, fov, kNearDistance);
    auto drawLinesTo = [&](const Vector(&targets)[4]) {
        if (!viewIsBounded) {
            return;
        }
        for (const Vector& target : targets) {
            LineSegment{target, ballLocation, kLineThickness}.DrawClipped(canvas, frustum);
        }
    };

    canvas.SetColor(255, 0, 0, 150);
    drawLinesTo(kRedTargets);
    canvas.SetColor(0, 255, 0, 150);
    drawLinesTo(kGreenTargets);
}
