#include "validate/audit/FrameAudit.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <iterator>
#include <numbers>
#include <utility>

#include "base/WorldMath.h"
#include "overlay/Quaternion.h"
#include "overlay/ViewFrustum.h"
#include "sim/CallLogReader.h"
#include "validate/audit/CanvasJudge.h"
#include "validate/audit/FrustumJudge.h"
#include "validate/audit/OverlayTargets.h"
#include "validate/audit/ValueText.h"

namespace validate {

namespace {

// The margin the clipping grants its intersection points, in world units.
constexpr double kClipMargin = 1.0;

// Bit-identical points: what the plugin was handed, passed on unchanged.
bool SamePoint(Vector a, Vector b) {
    return a.X == b.X && a.Y == b.Y && a.Z == b.Z;
}

// One ProjectF pair and the DrawLine that followed it. Draw projects the end
// first, then the start.
struct DrawEvent {
    Vector start;
    Vector end;
    sim::DrawnLine line;
};

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The point lies on the segment from `start` to `end`, to within rounding.
bool OnSegment(Vector start, Vector end, Vector point) {
    const double ax = double(end.X) - start.X, ay = double(end.Y) - start.Y,
                 az = double(end.Z) - start.Z;
    const double px = double(point.X) - start.X, py = double(point.Y) - start.Y,
                 pz = double(point.Z) - start.Z;
    const double length = std::sqrt(ax * ax + ay * ay + az * az);
    const double offset = std::sqrt(px * px + py * py + pz * pz);
    const double slack = kRounding * (offset + Norm1(start) + Norm1(point)) + 1e-6;
    if (length == 0.0) {
        return offset <= slack;
    }
    const double along = (ax * px + ay * py + az * pz) / length;
    const double cx = py * az - pz * ay, cy = pz * ax - px * az, cz = px * ay - py * ax;
    const double across = std::sqrt(cx * cx + cy * cy + cz * cz) / length;
    return across <= slack && along >= -slack && along <= length + slack;
}

bool IsRed(const sim::Color& color) {
    return color == kRed;
}

// The frame's calls read in order: the colours set, and each pair of points
// projected with the DrawLine that followed it.
struct FrameCalls {
    std::vector<DrawEvent> events;
    int colourSets = 0;
    bool redThenGreen = true;
};

// Reads the calls against the lines that reached the canvas; the first
// breach of how a frame's calls must fit together, or nothing.
std::optional<std::string> ReadCalls(const std::vector<std::string>& calls,
                                     const std::vector<sim::DrawnLine>& lines, FrameCalls& read,
                                     AuditTotals& totals) {
    std::vector<Vector> pending;
    std::size_t drawn = 0;
    for (const std::string& call : calls) {
        if (StartsWith(call, "ProjectF ")) {
            const std::optional<Vector> point = sim::ProjectedPoint(call);
            if (!point) {
                return "an unreadable ProjectF call: " + call;
            }
            if (!Finite(*point)) {
                return "a non-finite point reached the canvas: " + call;
            }
            pending.push_back(*point);
            ++totals.projectedPoints;
        } else if (StartsWith(call, "DrawLine")) {
            if (drawn >= lines.size()) {
                return "the log holds more DrawLine calls than lines reached the canvas";
            }
            if (pending.size() != 2) {
                return "a DrawLine followed " + Num(long(pending.size())) +
                       " ProjectF calls, expected 2 (end, then start)";
            }
            read.events.push_back({pending[1], pending[0], lines[drawn++]});
            pending.clear();
        } else if (StartsWith(call, "SetColor ")) {
            const char* expected =
                read.colourSets == 0 ? "SetColor 255 0 0 150" : "SetColor 0 255 0 150";
            read.redThenGreen = read.redThenGreen && read.colourSets < 2 && call == expected;
            ++read.colourSets;
        }
    }
    if (!pending.empty()) {
        return Num(long(pending.size())) + " ProjectF calls were not followed by a DrawLine";
    }
    if (drawn != lines.size()) {
        return Num(long(lines.size())) + " lines reached the canvas but the log holds " +
               Num(long(drawn)) + " DrawLine calls";
    }
    return std::nullopt;
}

// What reached the canvas, whatever the frame: at most eight lines, every
// argument finite.
std::optional<std::string> CheckCanvasArguments(const std::vector<sim::DrawnLine>& lines) {
    if (lines.size() > 8) {
        return Num(long(lines.size())) + " lines drawn in one frame, at most 8 allowed";
    }
    for (const sim::DrawnLine& line : lines) {
        if (!Finite(line.start) || !Finite(line.end) || !std::isfinite(line.width)) {
            return "a non-finite DrawLine argument reached the canvas: " + Str(line.start) +
                   " to " + Str(line.end) + " width " + Num(line.width);
        }
    }
    return std::nullopt;
}

// A frame the overlay does not apply to: no projection, line or colour at all.
std::optional<std::string> CheckNothingDrawn(const std::vector<std::string>& calls) {
    for (const std::string& call : calls) {
        if (StartsWith(call, "ProjectF") || StartsWith(call, "DrawLine") ||
            StartsWith(call, "SetColor")) {
            return "the overlay does not apply in this frame, yet the plugin called " + call;
        }
    }
    return std::nullopt;
}

// Each drawn line: its colour and the order of colours, its width, its canvas
// ends the host's projections of its world ends, those on a segment from a
// target to the ball, and inside the frame's frustum within the margin.
std::optional<std::string> JudgeDrawnLines(const HostileFrame& frame, const FrameCalls& read,
                                           const FrustumJudge& judge, const CanvasJudge& canvas,
                                           AuditTotals& totals) {
    const Vector ball = frame.ball->location;
    bool greenSeen = false;
    for (std::size_t k = 0; k < read.events.size(); ++k) {
        const DrawEvent& e = read.events[k];
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
        if (!e.line.widthGiven || e.line.width != kLineWidth) {
            return which + " was not drawn with the width 3";
        }
        if (!(e.line.start == canvas.Project(e.start)) || !(e.line.end == canvas.Project(e.end))) {
            return which + " was drawn from " + Str(e.line.start) + " to " + Str(e.line.end) +
                   ", not between the projections of its two ends";
        }
        if (frame.canvas.X <= 0 || frame.canvas.Y <= 0) {
            return which + " was drawn on a canvas without area, " + Str(frame.canvas);
        }
        if (!Finite(ball)) {
            return which + " was drawn although the ball is at " + Str(ball);
        }
        bool onSegment = false;
        for (int i = red ? 0 : 4; i < (red ? 4 : 8) && !onSegment; ++i) {
            onSegment =
                OnSegment(kTargets[i], ball, e.start) && OnSegment(kTargets[i], ball, e.end);
        }
        if (!onSegment) {
            return which + " does not lie on any " + (red ? "red" : "green") +
                   " segment from a target to the ball";
        }
        const std::pair<Vector, Vector2F> ends[] = {{e.start, e.line.start}, {e.end, e.line.end}};
        for (const auto& [point, image] : ends) {
            if (const int plane = judge.Breached(point, kClipMargin); plane >= 0) {
                return "the point " + Str(point) + " handed to ProjectF lies " +
                       Num(-judge.Distance(plane, point)) + " units outside the " +
                       FrustumPlaneName(plane) + " plane of the frame's frustum (margin 1 plus " +
                       Num(judge.Slack(plane, point)) + " rounding)";
            }
            if (auto breach = canvas.Judge(point, image, totals)) {
                return *breach;
            }
        }
    }
    return std::nullopt;
}

// Segments the frustum plainly holds must be drawn: whole ones unchanged, and
// ones with one end deep inside and the other clearly out, from that end.
std::optional<std::string> CheckRequiredSegments(const HostileFrame& frame, const FrameCalls& read,
                                                 const FrustumJudge& judge, AuditTotals& totals) {
    const sim::Actor& camera = *frame.camera;
    const Vector ball = frame.ball->location;
    const std::vector<DrawEvent>& events = read.events;
    const bool wellConditioned = std::isfinite(camera.fov) && camera.fov >= 1.0f &&
                                 camera.fov <= 150.0f && Finite(camera.location) &&
                                 Norm1(camera.location) <= 1e5 && frame.canvas.X > 0 &&
                                 frame.canvas.Y > 0 && frame.canvas.X <= 256 * frame.canvas.Y &&
                                 frame.canvas.Y <= 256 * frame.canvas.X;
    constexpr double kDeep = 100.0;
    for (int group = 0; group < 2; ++group) {
        long endsAtBallRequired = 0;
        for (int i = group * 4; i < group * 4 + 4; ++i) {
            const Vector target = kTargets[i];
            const bool targetIn = judge.DeepInside(target, 0.0);
            const bool ballIn = Finite(ball) && judge.DeepInside(ball, 0.0);
            if (targetIn && ballIn) {
                ++totals.wholeSegmentsRequired;
                ++endsAtBallRequired;
                const bool found =
                    std::any_of(events.begin(), events.end(), [&](const DrawEvent& e) {
                        return SamePoint(e.start, target) && SamePoint(e.end, ball);
                    });
                if (!found) {
                    return "the segment from target " + Num(i + 1) + " " + Str(target) +
                           " to the ball lies wholly in the frustum but was not drawn unchanged";
                }
                continue;
            }
            if (!wellConditioned || !Finite(ball) || Distance(target, ball) > 1e12) {
                continue;
            }
            if (judge.DeepInside(target, kDeep) && judge.ClearlyOutside(ball, kDeep)) {
                ++totals.clippedSegmentsRequired;
                const bool found =
                    std::any_of(events.begin(), events.end(),
                                [&](const DrawEvent& e) { return SamePoint(e.start, target); });
                if (!found) {
                    return "the segment from target " + Num(i + 1) + " " + Str(target) +
                           ", well inside the frustum, to the ball outside it was not drawn "
                           "from the target";
                }
            } else if (judge.DeepInside(ball, kDeep) && judge.ClearlyOutside(target, kDeep)) {
                ++totals.clippedSegmentsRequired;
                ++endsAtBallRequired;
            }
        }
        const long endsAtBall =
            std::count_if(events.begin(), events.end(), [&](const DrawEvent& e) {
                return IsRed(e.line.color) == (group == 0) && SamePoint(e.end, ball);
            });
        if (endsAtBall < endsAtBallRequired) {
            return std::string(group == 0 ? "red" : "green") + ": " + Num(endsAtBallRequired) +
                   " segments hold the ball well inside the frustum, but only " + Num(endsAtBall) +
                   " lines end at the ball";
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> FrameAuditor::Audit(const HostileFrame& frame,
                                               const std::vector<std::string>& calls,
                                               const std::vector<sim::DrawnLine>& lines,
                                               AuditTotals& totals) {
    ++totals.frames;
    FrameCalls read;
    if (auto breach = ReadCalls(calls, lines, read, totals)) {
        return breach;
    }
    if (auto breach = CheckCanvasArguments(lines)) {
        return breach;
    }
    if (!frame.OverlayApplies()) {
        return CheckNothingDrawn(calls);
    }
    if (!read.redThenGreen || read.colourSets != 2) {
        return "the colours were set " + Num(read.colourSets) +
               " times, expected once red (255 0 0 150) then once green (0 255 0 150)";
    }
    if (!lines.empty()) {
        ++totals.framesDrawing;
        totals.lines += long(lines.size());
    }

    // The frustum the plugin should have clipped to, and the judges of it.
    const sim::Actor& camera = *frame.camera;
    scratch_.canvasSize = frame.canvas;
    const ViewFrustum frustum =
        ViewFrustum::Build(CanvasWrapper(&scratch_), RotatorToQuaternion(camera.rotation),
                           camera.location, camera.fov, kNearDistance, kFarDistance);
    const FrustumJudge judge(frustum, camera.location);
    const CanvasJudge canvas(camera, frame.canvas, judge);
    if (auto breach = JudgeDrawnLines(frame, read, judge, canvas, totals)) {
        return breach;
    }

    // The plugin draws nothing through a frustum that does not bound the view
    // (a field of view no camera has, or a near plane single precision could
    // not keep in front of the camera): nothing is required then.
    if (!frustum.BoundsTheView(camera.location, camera.fov, kNearDistance)) {
        return std::nullopt;
    }
    return CheckRequiredSegments(frame, read, judge, totals);
}

} // namespace validate
