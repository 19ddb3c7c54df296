#include "validate/audit/OverlayAudit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "base/WorldMath.h"
#include "overlay/ViewFrustum.h"
#include "sim/CameraView.h"
#include "validate/audit/FrameView.h"
#include "validate/audit/OverlayTargets.h"
#include "validate/judge/ClipJudge.h"
#include "validate/judge/ValueText.h"

namespace validate {

namespace {

// Bit-identical points: what the plugin was handed, passed on unchanged.
bool SamePoint(Vector a, Vector b) {
    return a.X == b.X && a.Y == b.Y && a.Z == b.Z;
}

// One line and the two points projected for it: Draw projects the end first,
// then the start.
struct DrawEvent {
    Vector start;
    Vector end;
    sim::DrawnLine line;
};

bool IsRed(const sim::Color& color) {
    return color == kRed;
}

// Pairs each line with the two points projected just before it; the first
// breach of that pattern, or nothing.
std::optional<std::string> ReadDraws(const FrameRecord& record, std::vector<DrawEvent>& events) {
    std::size_t projected = 0;
    for (const sim::DrawnLine& line : record.lines) {
        const std::size_t before = line.projectionsBefore;
        if (before < projected || before - projected != 2) {
            return "a DrawLine followed " + Num(long(before - projected)) +
                   " ProjectF calls, expected 2 (end, then start)";
        }
        events.push_back({record.projections[before - 1], record.projections[before - 2], line});
        projected = before;
    }
    if (record.projections.size() != projected) {
        return Num(long(record.projections.size() - projected)) +
               " ProjectF calls were not followed by a DrawLine";
    }
    return std::nullopt;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// A frame the overlay does not apply to: no projection, line or colour at all.
std::optional<std::string> CheckNothingDrawn(const FrameRecord& record) {
    for (const std::string& call : record.calls) {
        if (StartsWith(call, "ProjectF") || StartsWith(call, "DrawLine") ||
            StartsWith(call, "SetColor")) {
            return "the overlay does not apply in this frame, yet the plugin called " + call;
        }
    }
    return std::nullopt;
}

std::optional<std::string> CheckColours(const FrameRecord& record) {
    std::vector<std::string> sets;
    for (const std::string& call : record.calls) {
        if (StartsWith(call, "SetColor ")) {
            sets.push_back(call);
        }
    }
    if (sets != std::vector<std::string>{"SetColor 255 0 0 150", "SetColor 0 255 0 150"}) {
        return "the colours were set " + Num(long(sets.size())) +
               " times, expected once red (255 0 0 150) then once green (0 255 0 150)";
    }
    return std::nullopt;
}

// One drawn line: its width, its canvas ends the host's projections of its
// world ends, and those a clipping of a segment from a target of its colour
// to the ball.
std::optional<std::string> JudgeLine(const HostileFrame& frame, const DrawEvent& e,
                                     const std::string& which, const ClipJudge& clip,
                                     const sim::CameraView& view) {
    const bool red = IsRed(e.line.color);
    if (!e.line.widthGiven || e.line.width != kLineWidth) {
        return which + " was not drawn with the width 3";
    }
    if (!(e.line.start == view.Project(e.start)) || !(e.line.end == view.Project(e.end))) {
        return which + " was drawn from " + Str(e.line.start) + " to " + Str(e.line.end) +
               ", not between the projections of its two ends";
    }
    if (frame.canvas.X <= 0 || frame.canvas.Y <= 0) {
        return which + " was drawn on a canvas without area, " + Str(frame.canvas);
    }
    const Vector ball = frame.ball->location;
    if (!Finite(ball)) {
        return which + " was drawn although the ball is at " + Str(ball);
    }
    for (int i = red ? 0 : 4; i < (red ? 4 : 8); ++i) {
        if (OffSegment(kTargets[i], ball, e.start) == 0.0 &&
            OffSegment(kTargets[i], ball, e.end) == 0.0) {
            return clip.JudgePiece(kTargets[i], ball, e.start, e.end);
        }
    }
    return which + " does not lie on any " + (red ? "red" : "green") +
           " segment from a target to the ball";
}

std::optional<std::string> JudgeDrawnLines(const HostileFrame& frame,
                                           const std::vector<DrawEvent>& events,
                                           const ClipJudge& clip, const sim::CameraView& view) {
    bool greenSeen = false;
    for (std::size_t k = 0; k < events.size(); ++k) {
        const DrawEvent& e = events[k];
        const std::string which =
            "line " + Num(long(k + 1)) + " (world " + Str(e.start) + " to " + Str(e.end) + ")";
        const bool red = IsRed(e.line.color);
        if (!red && e.line.color != kGreen) {
            return which + " was drawn in neither overlay colour";
        }
        if (red && greenSeen) {
            return which + " is red but follows a green line";
        }
        greenSeen = greenSeen || !red;
        if (auto breach = JudgeLine(frame, e, which, clip, view)) {
            return breach;
        }
    }
    return std::nullopt;
}

bool WellConditioned(const HostileFrame& frame) {
    const sim::Actor& camera = *frame.camera;
    return std::isfinite(camera.fov) && camera.fov >= 1.0f && camera.fov <= 150.0f &&
           Finite(camera.location) && Norm1(camera.location) <= 1e5 && frame.canvas.X > 0 &&
           frame.canvas.Y > 0 && frame.canvas.X <= 256 * frame.canvas.Y &&
           frame.canvas.Y <= 256 * frame.canvas.X;
}

// One colour group's segments the frustum plainly holds must be drawn: whole
// ones unchanged, and ones with one end deep inside and the other clearly out,
// from that end.
std::optional<std::string> CheckRequiredGroup(const HostileFrame& frame, int group,
                                              const std::vector<DrawEvent>& events,
                                              const ClipJudge& clip, AuditTotals& totals) {
    constexpr double kDeep = 100.0;
    const Vector ball = frame.ball->location;
    const bool ballIn = Finite(ball) && clip.DeepInside(ball, 0.0);
    const bool conditioned = WellConditioned(frame) && Finite(ball);
    long endsAtBallRequired = 0;
    for (int i = group * 4; i < group * 4 + 4; ++i) {
        const Vector target = kTargets[i];
        const auto drawnFrom = [&](bool toBall) {
            return std::any_of(events.begin(), events.end(), [&](const DrawEvent& e) {
                return SamePoint(e.start, target) && (!toBall || SamePoint(e.end, ball));
            });
        };
        if (clip.DeepInside(target, 0.0) && ballIn) {
            ++totals.wholeSegmentsRequired;
            ++endsAtBallRequired;
            if (!drawnFrom(true)) {
                return "the segment from target " + Num(i + 1) + " " + Str(target) +
                       " to the ball lies wholly in the frustum but was not drawn unchanged";
            }
        } else if (!conditioned || Distance(target, ball) > 1e12) {
            continue;
        } else if (clip.DeepInside(target, kDeep) && clip.ClearlyOutside(ball, kDeep)) {
            ++totals.clippedSegmentsRequired;
            if (!drawnFrom(false)) {
                return "the segment from target " + Num(i + 1) + " " + Str(target) +
                       ", well inside the frustum, to the ball outside it was not drawn "
                       "from the target";
            }
        } else if (clip.DeepInside(ball, kDeep) && clip.ClearlyOutside(target, kDeep)) {
            ++totals.clippedSegmentsRequired;
            ++endsAtBallRequired;
        }
    }
    const long endsAtBall = std::count_if(events.begin(), events.end(), [&](const DrawEvent& e) {
        return IsRed(e.line.color) == (group == 0) && SamePoint(e.end, ball);
    });
    if (endsAtBall < endsAtBallRequired) {
        return std::string(group == 0 ? "red" : "green") + ": " + Num(endsAtBallRequired) +
               " segments hold the ball well inside the frustum, but only " + Num(endsAtBall) +
               " lines end at the ball";
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> OverlayAuditor::Judge(const HostileFrame& frame,
                                                 const FrameRecord& record) {
    ++totals_.frames;
    if (record.lines.size() > 8) {
        return Num(long(record.lines.size())) + " lines drawn in one frame, at most 8 allowed";
    }
    std::vector<DrawEvent> events;
    if (auto breach = ReadDraws(record, events)) {
        return breach;
    }
    if (!frame.OverlayApplies()) {
        return CheckNothingDrawn(record);
    }
    if (auto breach = CheckColours(record)) {
        return breach;
    }
    if (!record.lines.empty()) {
        ++totals_.framesDrawing;
        totals_.lines += long(record.lines.size());
    }
    const sim::Actor& camera = *frame.camera;
    const ViewFrustum frustum = FrameFrustum(camera, frame.canvas, scratch_);
    const ClipJudge clip(frustum.Planes);
    const sim::CameraView view(camera.location, camera.rotation, camera.fov, frame.canvas);
    if (auto breach = JudgeDrawnLines(frame, events, clip, view)) {
        return breach;
    }
    // The plugin draws nothing through a frustum that does not bound the view
    // (a field of view no camera has, or a near plane single precision could
    // not keep in front of the camera): nothing is required then.
    if (!frustum.BoundsTheView(camera.location, camera.fov, kNearDistance)) {
        return std::nullopt;
    }
    for (int group = 0; group < 2; ++group) {
        if (auto breach = CheckRequiredGroup(frame, group, events, clip, totals_)) {
            return breach;
        }
    }
    return std::nullopt;
}

std::string OverlayAuditor::Summary() const {
    char text[256];
    std::snprintf(text, sizeof text,
                  "%ld drew %ld lines; %ld whole and %ld clipped segments required and drawn",
                  totals_.framesDrawing, totals_.lines, totals_.wholeSegmentsRequired,
                  totals_.clippedSegmentsRequired);
    return text;
}

} // namespace validate
