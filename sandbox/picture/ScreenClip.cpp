#include "picture/ScreenClip.h"

#include <cmath>

namespace sandbox {

bool ClipToRect(ImVec2& a, ImVec2& b, ImVec2 min, ImVec2 max) {
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) {
        return false;
    }
    const double dx = double(b.x) - a.x;
    const double dy = double(b.y) - a.y;
    double enter = 0.0;
    double leave = 1.0;
    // Each edge as p * t <= q.
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {double(a.x) - min.x, double(max.x) - a.x, double(a.y) - min.y,
                         double(max.y) - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            enter = std::max(enter, t);
        } else {
            leave = std::min(leave, t);
        }
    }
    if (enter > leave) {
        return false;
    }
    const ImVec2 start = a;
    a = ImVec2(float(start.x + dx * enter), float(start.y + dy * enter));
    b = ImVec2(float(start.x + dx * leave), float(start.y + dy * leave));
    return true;
}

} // namespace sandbox
