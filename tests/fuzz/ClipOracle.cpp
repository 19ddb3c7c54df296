#include "ClipOracle.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/WorldMath.h"
#include "sim/CallLogReader.h"
#include "sim/CameraView.h"

namespace {

constexpr double kMargin = 1.0;

std::string Text(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", value);
    return buffer;
}

std::string Text(Vector v) {
    return "(" + Text(v.X) + ", " + Text(v.Y) + ", " + Text(v.Z) + ")";
}

// How far outside plane i the point lies beyond the margin and rounding, or 0.
double Excess(const FrustumPlane& p, Vector point) {
    const double length = std::sqrt(double(p.X) * p.X + double(p.Y) * p.Y + double(p.Z) * p.Z);
    const double distance =
        (double(p.X) * point.X + double(p.Y) * point.Y + double(p.Z) * point.Z) / length + p.D;
    const double slack = kRounding * (Norm1(point) + std::fabs(double(p.D)) + 1.0);
    if (std::isnan(distance)) {
        return INFINITY;
    }
    return std::max(0.0, -distance - kMargin - slack);
}

// How far the point lies off the segment, beyond rounding, or 0.
double OffSegment(const LineSegment& segment, Vector point) {
    const Vector s = segment.Start;
    const Vector e = segment.End;
    const double ax = double(e.X) - s.X, ay = double(e.Y) - s.Y, az = double(e.Z) - s.Z;
    const double px = double(point.X) - s.X, py = double(point.Y) - s.Y, pz = double(point.Z) - s.Z;
    const double length = std::sqrt(ax * ax + ay * ay + az * az);
    const double offset = std::sqrt(px * px + py * py + pz * pz);
    const double slack = kRounding * (offset + Norm1(s) + Norm1(point)) + 1e-30;
    if (!(length > 0.0)) {
        return std::max(0.0, offset - slack);
    }
    const double along = (ax * px + ay * py + az * pz) / length;
    const double cx = py * az - pz * ay, cy = pz * ax - px * az, cz = px * ay - py * ax;
    const double across = std::sqrt(cx * cx + cy * cy + cz * cz) / length;
    const double beyond = std::max(-along, along - length);
    return std::max({0.0, across - slack, beyond - slack});
}

} // namespace

std::optional<std::string> JudgeClippedDraw(const ClipInput& input, const ViewFrustum& frustum,
                                            const std::vector<std::string>& calls,
                                            const std::vector<sim::DrawnLine>& lines) {
    std::vector<Vector> projected;
    std::size_t drawLines = 0;
    for (const std::string& call : calls) {
        // A ProjectF line that does not read back is missed in the count
        // of projected points below.
        if (const std::optional<Vector> point = sim::ProjectedPoint(call)) {
            projected.push_back(*point);
        } else if (call.rfind("DrawLine", 0) == 0) {
            ++drawLines;
        }
    }
    if (drawLines != lines.size()) {
        return "the log holds " + std::to_string(drawLines) + " DrawLine calls for " +
               std::to_string(lines.size()) + " lines drawn";
    }
    if (lines.size() > 1) {
        return "one clipped draw drew " + std::to_string(lines.size()) + " lines";
    }
    if (projected.size() != 2 * lines.size()) {
        return std::to_string(projected.size()) + " points projected for " +
               std::to_string(lines.size()) + " lines";
    }
    for (Vector point : projected) {
        if (!Finite(point)) {
            return "a non-finite point reached the canvas: " + Text(point);
        }
    }
    if (lines.empty()) {
        return std::nullopt;
    }
    const sim::DrawnLine& line = lines.front();
    if (!Finite(line.start) || !Finite(line.end) || !std::isfinite(line.width)) {
        return "a non-finite DrawLine argument reached the canvas: (" + Text(line.start.X) + ", " +
               Text(line.start.Y) + ") to (" + Text(line.end.X) + ", " + Text(line.end.Y) +
               ") for the points " + Text(projected[1]) + " and " + Text(projected[0]);
    }
    if (input.segment.Thickness == 1.0f
            ? line.widthGiven
            : !line.widthGiven || line.width != input.segment.Thickness) {
        return "the line was drawn with the wrong DrawLine form or width";
    }
    const sim::CameraView view(input.cameraLocation, input.cameraRotation, input.fov, input.canvas);
    const Vector2F start = view.Project(projected[1]);
    const Vector2F end = view.Project(projected[0]);
    if (!(line.start == start) || !(line.end == end)) {
        return "the line does not run from the projected start to the projected end";
    }
    for (Vector point : projected) {
        if (const double off = OffSegment(input.segment, point); off > 0.0) {
            return "the drawn end " + Text(point) + " lies " + Text(off) + " units off the segment";
        }
        for (int i = 0; i < 6; ++i) {
            if (const double excess = Excess(frustum.Planes[i], point); excess > 0.0) {
                return "the drawn end " + Text(point) + " lies " + Text(excess) +
                       " units beyond the margin outside plane " + std::to_string(i) +
                       " of the frustum";
            }
        }
    }
    return std::nullopt;
}
