// The overlay on a plain frame: behind one goal, looking up the field with
// every target and the ball in view, all eight lines are drawn whole, red then
// green; from just behind the ball, the green targets behind the camera, the
// four green lines are cut where they leave the view; outside the three modes,
// with the flag off or with anything absent, nothing is drawn.

#include <string>

#include "sim/CameraView.h"
#include "validate/audit/FrameView.h"
#include "validate/audit/OverlayTargets.h"
#include "validate/checks/ModuleChecks.h"
#include "validate/checks/ModuleUnderTest.h"
#include "validate/judge/ClipJudge.h"
#include "validate/judge/ValueText.h"

namespace validate {

namespace {

// Runs one frame; every handle made in it must be gone by its end.
const std::vector<sim::DrawnLine>& Frame(sim::Host& host, const std::string& what) {
    const long before = host.LiveHandles();
    host.RunFrame();
    Require(host.LiveHandles() == before, what + ": " + Num(host.LiveHandles() - before) +
                                              " handles made in the frame outlived it");
    return host.lines;
}

void RequireWholeLines(sim::Host& host, const std::string& what) {
    const auto& lines = Frame(host, what);
    Require(lines.size() == 8, what + ": " + Num(long(lines.size())) + " lines, expected 8");
    const sim::CameraView view(host.camera->location, host.camera->rotation, host.camera->fov,
                               host.canvasSize);
    const Vector2F ball = view.Project(host.ball->location);
    for (int i = 0; i < 8; ++i) {
        const sim::DrawnLine& line = lines[i];
        const std::string which = what + ", line " + Num(i + 1);
        Require(line.color == TargetColor(i), which + ": wrong colour");
        Require(line.widthGiven && line.width == kLineWidth,
                which + ": not drawn with the width " + Num(kLineWidth));
        const Vector2F target = view.Project(kTargets[i]);
        Require(line.start == target && line.end == ball,
                which + " runs " + Str(line.start) + " to " + Str(line.end) + ", expected " +
                    Str(target) + " to " + Str(ball) + " (the whole segment, unclipped)");
        for (Vector2F end : {line.start, line.end}) {
            Require(end.X >= 0.0f && end.X <= float(host.canvasSize.X) && end.Y >= 0.0f &&
                        end.Y <= float(host.canvasSize.Y),
                    which + ": end " + Str(end) + " is off the canvas");
        }
    }
}

// The camera 2600 units behind the ball and 900 above it, looking at it up
// the field, as the embedded default scenario's first frame does: the red
// lines lie wholly in view, the green ones run from behind the camera and
// must be cut, each a clipping of its segment from the target to the ball.
void RequireGreenLinesCut(sim::Host& host) {
    host.camera = sim::Actor{{0.0f, -2600.0f, 993.0f}, {-3506, 16384, 0}, 90.0f};
    host.recordProjections = true;
    const auto& lines = Frame(host, "from behind the ball");
    host.recordProjections = false;
    Require(lines.size() == 8 && host.projections.size() == 16,
            "from behind the ball: " + Num(long(lines.size())) + " lines, expected 8");
    sim::Host scratch;
    const ClipJudge clip(FrameFrustum(*host.camera, host.canvasSize, scratch).Planes);
    for (int i = 0; i < 8; ++i) {
        const std::string which = "from behind the ball, line " + Num(i + 1);
        // Draw projects the end, then the start.
        const Vector start = host.projections[2 * i + 1];
        const Vector end = host.projections[2 * i];
        const bool cut =
            !(start.X == kTargets[i].X && start.Y == kTargets[i].Y && start.Z == kTargets[i].Z);
        Require(cut == (i >= 4), which + (cut ? " is cut" : " is not cut") + ": drawn from " +
                                     Str(start) + " to " + Str(end));
        if (auto breach = clip.JudgePiece(kTargets[i], host.ball->location, start, end)) {
            Fail(which + ": " + *breach);
        }
    }
}

void RequireNothingDrawn(sim::Host& host, const std::string& what) {
    const auto& lines = Frame(host, what);
    Require(lines.empty(), what + ": " + Num(long(lines.size())) + " lines drawn, expected none");
}

} // namespace

void CheckExampleFrame(const CheckContext& context) {
    sim::Host host;
    {
        auto hosted = LoadSwitchedOn(context.modulePath, host);
        StagePlainFrame(host);
        RequireWholeLines(host, "freeplay");
        host.mode = sim::GameMode::CustomTraining;
        RequireWholeLines(host, "custom training");
        host.mode = sim::GameMode::Replay;
        RequireWholeLines(host, "replay");
        host.mode = sim::GameMode::None;
        RequireNothingDrawn(host, "no game mode");

        host.mode = sim::GameMode::Freeplay;
        host.console.Execute("qm_enabled 0");
        RequireNothingDrawn(host, "qm_enabled 0");
        host.console.Execute("qm_enabled 1");
        RequireWholeLines(host, "qm_enabled back to 1");

        const auto ball = host.ball;
        host.ball.reset();
        RequireNothingDrawn(host, "no ball");
        host.ball = ball;
        host.serverPresent = false;
        RequireNothingDrawn(host, "no server");
        host.serverPresent = true;
        const auto camera = host.camera;
        host.camera.reset();
        RequireNothingDrawn(host, "no camera");
        host.camera = camera;
        RequireWholeLines(host, "everything back");
        RequireGreenLinesCut(host);
    }
    Require(host.LiveHandles() == 0, Num(host.LiveHandles()) + " host handles outlived the module");
}

} // namespace validate
