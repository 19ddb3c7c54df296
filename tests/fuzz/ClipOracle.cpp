#include "ClipOracle.h"

#include <cmath>

#include "base/WorldMath.h"
#include "sim/CameraView.h"
#include "validate/judge/ClipJudge.h"
#include "validate/judge/ValueText.h"

using validate::Num;
using validate::Str;

std::optional<std::string> JudgeClippedDraw(const ClipInput& input, const ViewFrustum& frustum,
                                            const sim::Host& host) {
    const std::vector<Vector>& projected = host.projections;
    const std::vector<sim::DrawnLine>& lines = host.lines;
    if (lines.size() > 1) {
        return "one clipped draw drew " + std::to_string(lines.size()) + " lines";
    }
    if (projected.size() != 2 * lines.size()) {
        return std::to_string(projected.size()) + " points projected for " +
               std::to_string(lines.size()) + " lines";
    }
    for (Vector point : projected) {
        if (!Finite(point)) {
            return "a non-finite point reached the canvas: " + Str(point);
        }
    }
    if (lines.empty()) {
        return std::nullopt;
    }
    const sim::DrawnLine& line = lines.front();
    if (line.projectionsBefore != 2) {
        return "the line was drawn before both its points were projected";
    }
    // Draw projects the end first, then the start.
    const Vector start = projected[1];
    const Vector end = projected[0];
    if (!Finite(line.start) || !Finite(line.end) || !std::isfinite(line.width)) {
        return "a non-finite DrawLine argument reached the canvas: " + Str(line.start) + " to " +
               Str(line.end) + " for the points " + Str(start) + " and " + Str(end);
    }
    if (input.segment.Thickness == 1.0f
            ? line.widthGiven
            : !line.widthGiven || line.width != input.segment.Thickness) {
        return "the line was drawn with the wrong DrawLine form or width " + Num(line.width);
    }
    const sim::CameraView view(input.cameraLocation, input.cameraRotation, input.fov, input.canvas);
    if (!(line.start == view.Project(start)) || !(line.end == view.Project(end))) {
        return "the line does not run from the projected start to the projected end";
    }
    return validate::ClipJudge(frustum.Planes)
        .JudgePiece(input.segment.Start, input.segment.End, start, end);
}
