#include "BenchViews.h"

#include "overlay/Quaternion.h"
#include "validate/judge/ReferenceClipper.h"

namespace {

// The render pass's targets and width. Duplicated here on purpose: the frame
// benchmark checks that the module draws exactly the lines these predict, so a
// change on either side shows up as a failed set-up rather than a drifting figure.
constexpr Vector kTargets[8] = {
    {800.0f, 5000.0f, 0.0f},    {-800.0f, 5000.0f, 0.0f},    {800.0f, 5000.0f, 600.0f},
    {-800.0f, 5000.0f, 600.0f}, {800.0f, -5000.0f, 0.0f},    {-800.0f, -5000.0f, 0.0f},
    {800.0f, -5000.0f, 600.0f}, {-800.0f, -5000.0f, 600.0f},
};
constexpr float kLineThickness = 3.0f;

} // namespace

const char* SegmentKindName(SegmentKind kind) {
    switch (kind) {
    case SegmentKind::Inside:
        return "inside";
    case SegmentKind::OneEndOut:
        return "one end out";
    case SegmentKind::BothEndsOut:
        return "both ends out";
    case SegmentKind::Off:
        return "off the view";
    }
    return "?";
}

std::string SegmentMix::Text() const {
    return std::to_string(Inside) + " inside, " + std::to_string(OneEndOut) + " one end out, " +
           std::to_string(BothEndsOut) + " both ends out, " + std::to_string(Off) + " off the view";
}

std::string BenchName(const char* what, const BenchView& view) {
    return std::string(what) + "/" + view.Key;
}

void StageView(sim::Host& host, const BenchView& view) {
    host.mode = sim::GameMode::Freeplay;
    host.serverPresent = true;
    host.canvasSize = {1600, 900};
    host.ball = sim::Actor{view.Ball, {}, 0.0f};
    host.camera = sim::Actor{view.CameraLocation, view.CameraRotation, view.Fov};
}

ViewFrustum FrustumOf(sim::Host& host) {
    const sim::Actor& camera = *host.camera;
    return ViewFrustum::Build(CanvasWrapper(&host), RotatorToQuaternion(camera.rotation),
                              camera.location, camera.fov, kNearDistance, kFarDistance);
}

std::array<LineSegment, 8> OverlaySegments(Vector ball) {
    std::array<LineSegment, 8> segments;
    for (int i = 0; i < 8; ++i) {
        segments[i] = LineSegment{kTargets[i], ball, kLineThickness};
    }
    return segments;
}

std::array<SegmentKind, 8> ClassifySegments(sim::Host& host, const ViewFrustum& frustum,
                                            const std::array<LineSegment, 8>& segments,
                                            std::string& disagreement) {
    std::array<SegmentKind, 8> kinds{};
    for (int i = 0; i < 8; ++i) {
        const LineSegment& segment = segments[i];
        host.lines.clear();
        segment.DrawClipped(CanvasWrapper(&host), frustum);
        const bool drawn = !host.lines.empty();
        host.lines.clear();

        const bool referenceDrawn =
            validate::ClipSegment(frustum.Planes, segment.Start, segment.End).Visible;
        if (drawn != referenceDrawn) {
            disagreement = "line " + std::to_string(i + 1) + " is " +
                           (drawn ? "drawn" : "not drawn") + " by the overlay but " +
                           (referenceDrawn ? "visible" : "invisible") + " to the reference";
            return {};
        }

        const int endsInside =
            int{frustum.IsInside(segment.Start, 0.0f)} + int{frustum.IsInside(segment.End, 0.0f)};
        if (!drawn) {
            kinds[i] = SegmentKind::Off;
        } else if (endsInside == 2) {
            kinds[i] = SegmentKind::Inside;
        } else if (endsInside == 1) {
            kinds[i] = SegmentKind::OneEndOut;
        } else {
            kinds[i] = SegmentKind::BothEndsOut;
        }
    }
    return kinds;
}

SegmentMix MixOf(const std::array<SegmentKind, 8>& kinds) {
    SegmentMix mix;
    for (SegmentKind kind : kinds) {
        switch (kind) {
        case SegmentKind::Inside:
            ++mix.Inside;
            break;
        case SegmentKind::OneEndOut:
            ++mix.OneEndOut;
            break;
        case SegmentKind::BothEndsOut:
            ++mix.BothEndsOut;
            break;
        case SegmentKind::Off:
            ++mix.Off;
            break;
        }
    }
    return mix;
}

std::string CheckViewMix(sim::Host& host, const BenchView& view) {
    const ViewFrustum frustum = FrustumOf(host);
    std::string disagreement;
    const auto kinds = ClassifySegments(host, frustum, OverlaySegments(view.Ball), disagreement);
    if (!disagreement.empty()) {
        return std::string(view.Name) + ": " + disagreement;
    }
    const SegmentMix mix = MixOf(kinds);
    if (mix != view.Expected) {
        return std::string(view.Name) + " gives " + mix.Text() + ", expected " +
               view.Expected.Text();
    }
    return {};
}
