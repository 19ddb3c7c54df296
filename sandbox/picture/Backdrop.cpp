#include "picture/Backdrop.h"

#include <cmath>
#include <numbers>

#include <imgui.h>

#include "base/WorldMath.h"
#include "picture/ScreenClip.h"
#include "sim/CameraView.h"
#include "sim/Host.h"

namespace sandbox {

namespace {

constexpr float kFieldHalfWidth = 4096.0f;  // X
constexpr float kFieldHalfLength = 5120.0f; // Y
constexpr float kGoalHalfWidth = 893.0f;
constexpr float kGoalHeight = 642.0f;
constexpr float kCentreCircleRadius = 1000.0f;
constexpr float kBallRadius = 93.0f;
// Nearer than this the projection blows up; lines are cut here.
constexpr double kNearDepth = 10.0;

const ImU32 kFieldColour = IM_COL32(140, 150, 165, 255);
const ImU32 kOrangeGoalColour = IM_COL32(255, 150, 40, 255);
const ImU32 kBlueGoalColour = IM_COL32(70, 140, 255, 255);
const ImU32 kBallColour = IM_COL32(215, 215, 220, 255);
const ImU32 kBallEdgeColour = IM_COL32(120, 120, 130, 255);

class Painter {
public:
    Painter(const sim::CameraView& view, Vector2 canvas, ImDrawList& list)
        : view_(view), list_(list), min_(-64.0f, -64.0f),
          max_(float(canvas.X) + 64.0f, float(canvas.Y) + 64.0f) {}

    // A world segment, cut where it passes behind the camera.
    void Line(Vector a, Vector b, ImU32 colour, float width = 1.5f) {
        const double da = view_.Depth(a);
        const double db = view_.Depth(b);
        if (da < kNearDepth && db < kNearDepth) {
            return;
        }
        if (da < kNearDepth) {
            a = Lerp(a, b, (kNearDepth - da) / (db - da));
        } else if (db < kNearDepth) {
            b = Lerp(b, a, (kNearDepth - db) / (da - db));
        }
        const Vector2F pa = view_.Project(a);
        const Vector2F pb = view_.Project(b);
        ImVec2 sa(pa.X, pa.Y);
        ImVec2 sb(pb.X, pb.Y);
        if (ClipToRect(sa, sb, min_, max_)) {
            list_.AddLine(sa, sb, colour, width);
        }
    }

    void Ball(Vector centre) {
        const double depth = view_.Depth(centre);
        if (depth < kNearDepth + kBallRadius) {
            return;
        }
        const double* right = view_.Right();
        const Vector side{static_cast<float>(centre.X + right[0] * kBallRadius),
                          static_cast<float>(centre.Y + right[1] * kBallRadius),
                          static_cast<float>(centre.Z + right[2] * kBallRadius)};
        const Vector2F c = view_.Project(centre);
        const Vector2F s = view_.Project(side);
        const float radius = std::hypot(s.X - c.X, s.Y - c.Y);
        if (!std::isfinite(c.X) || !std::isfinite(c.Y) || !std::isfinite(radius) ||
            c.X + radius < min_.x || c.X - radius > max_.x || c.Y + radius < min_.y ||
            c.Y - radius > max_.y) {
            return;
        }
        list_.AddCircleFilled(ImVec2(c.X, c.Y), radius, kBallColour, 48);
        list_.AddCircle(ImVec2(c.X, c.Y), radius, kBallEdgeColour, 48, 1.5f);
    }

private:
    const sim::CameraView& view_;
    ImDrawList& list_;
    ImVec2 min_;
    ImVec2 max_;
};

void GoalFrame(Painter& painter, float y, ImU32 colour) {
    const Vector leftFoot{-kGoalHalfWidth, y, 0.0f};
    const Vector rightFoot{kGoalHalfWidth, y, 0.0f};
    const Vector leftTop{-kGoalHalfWidth, y, kGoalHeight};
    const Vector rightTop{kGoalHalfWidth, y, kGoalHeight};
    painter.Line(leftFoot, leftTop, colour, 3.0f);
    painter.Line(rightFoot, rightTop, colour, 3.0f);
    painter.Line(leftTop, rightTop, colour, 3.0f);
    painter.Line(leftFoot, rightFoot, colour, 3.0f);
}

} // namespace

void DrawBackdrop(const sim::Host& host, ImDrawList& list) {
    if (!host.camera) {
        const char* note = "no camera";
        const ImVec2 size = ImGui::CalcTextSize(note);
        list.AddText(
            ImVec2((host.canvasSize.X - size.x) * 0.5f, (host.canvasSize.Y - size.y) * 0.5f),
            kFieldColour, note);
        return;
    }
    const sim::Actor& camera = *host.camera;
    const sim::CameraView view(camera.location, camera.rotation, camera.fov, host.canvasSize);
    Painter painter(view, host.canvasSize, list);

    const Vector corners[4] = {{-kFieldHalfWidth, -kFieldHalfLength, 0.0f},
                               {kFieldHalfWidth, -kFieldHalfLength, 0.0f},
                               {kFieldHalfWidth, kFieldHalfLength, 0.0f},
                               {-kFieldHalfWidth, kFieldHalfLength, 0.0f}};
    for (int i = 0; i < 4; ++i) {
        painter.Line(corners[i], corners[(i + 1) % 4], kFieldColour);
    }
    painter.Line({-kFieldHalfWidth, 0.0f, 0.0f}, {kFieldHalfWidth, 0.0f, 0.0f}, kFieldColour);
    constexpr int kCircleSegments = 48;
    for (int i = 0; i < kCircleSegments; ++i) {
        const double a0 = 2.0 * std::numbers::pi * i / kCircleSegments;
        const double a1 = 2.0 * std::numbers::pi * (i + 1) / kCircleSegments;
        painter.Line({float(kCentreCircleRadius * std::cos(a0)),
                      float(kCentreCircleRadius * std::sin(a0)), 0.0f},
                     {float(kCentreCircleRadius * std::cos(a1)),
                      float(kCentreCircleRadius * std::sin(a1)), 0.0f},
                     kFieldColour);
    }
    GoalFrame(painter, kFieldHalfLength, kOrangeGoalColour);
    GoalFrame(painter, -kFieldHalfLength, kBlueGoalColour);

    if (host.ball) {
        painter.Ball(host.ball->location);
    }
}

} // namespace sandbox
