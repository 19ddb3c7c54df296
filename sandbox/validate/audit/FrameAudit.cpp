#include "validate/audit/FrameAudit.h"

#include <cmath>
#include <cstdio>

#include "base/WorldMath.h"
#include "overlay/ViewFrustum.h"
#include "validate/audit/CanvasJudge.h"
#include "validate/audit/FrameView.h"
#include "validate/judge/ClipJudge.h"
#include "validate/judge/ValueText.h"

namespace validate {

namespace {

// Whatever the frame: every argument that reached the canvas is finite.
std::optional<std::string> CheckFinite(const FrameRecord& record) {
    for (const sim::DrawnLine& line : record.lines) {
        if (!Finite(line.start) || !Finite(line.end) || !std::isfinite(line.width)) {
            return "a non-finite DrawLine argument reached the canvas: " + Str(line.start) +
                   " to " + Str(line.end) + " width " + Num(line.width);
        }
    }
    for (const Vector& point : record.projections) {
        if (!Finite(point)) {
            return "a non-finite point reached the canvas: ProjectF " + Str(point);
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> FrameAuditor::Judge(const HostileFrame& frame,
                                               const FrameRecord& record) {
    ++totals_.frames;
    totals_.projectedPoints += long(record.projections.size());
    if (!record.lines.empty()) {
        ++totals_.framesDrawing;
        totals_.lines += long(record.lines.size());
    }
    if (auto breach = CheckFinite(record)) {
        return breach;
    }
    if (record.projections.empty()) {
        return std::nullopt;
    }
    if (!frame.camera) {
        return "the point " + Str(record.projections.front()) +
               " was handed to ProjectF in a frame without a camera";
    }
    const ViewFrustum frustum = FrameFrustum(*frame.camera, frame.canvas, scratch_);
    const ClipJudge clip(frustum.Planes);
    const CanvasJudge canvas(*frame.camera, frame.canvas, frustum, clip);
    for (const Vector& point : record.projections) {
        if (auto breach = clip.JudgePoint(point)) {
            return breach;
        }
        if (auto breach = canvas.Judge(point, canvas.Project(point), totals_)) {
            return breach;
        }
    }
    return std::nullopt;
}

std::string FrameAuditor::Summary() const {
    const AuditTotals& t = totals_;
    char text[512];
    std::snprintf(text, sizeof text,
                  "%ld drew %ld lines and projected %ld points; %ld images held to the canvas plus "
                  "the projected margin, the rest unbounded (%ld host view degenerate or at a "
                  "pole, %ld extreme rotator, %ld near the camera's plane, %ld degenerate "
                  "frustum), in ordinary frames none further than %.1f pixels beyond the "
                  "canvas's edge",
                  t.framesDrawing, t.lines, t.projectedPoints, t.canvasBounded, t.unboundedView,
                  t.unboundedTurn, t.unboundedBehind, t.unboundedPlanes, t.worstOrdinaryOvershoot);
    return text;
}

} // namespace validate
