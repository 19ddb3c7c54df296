#include "scenario/Track.h"

#include <cmath>

#include "base/WorldMath.h"

namespace sandbox {

Vector Track::At(int frame) const {
    if (waypoints.empty()) {
        return {};
    }
    const std::size_t count = waypoints.size();
    const std::size_t legs = loop ? count : count - 1;
    double length = 0.0;
    for (std::size_t i = 0; i < legs; ++i) {
        length += Distance(waypoints[i], waypoints[(i + 1) % count]);
    }
    if (legs == 0 || length <= 0.0 || speed <= 0.0) {
        return waypoints.front();
    }

    double travelled = speed * (frame - 1);
    if (loop) {
        travelled = std::fmod(travelled, length);
    } else if (travelled >= length) {
        return waypoints.back();
    }
    for (std::size_t i = 0; i < legs; ++i) {
        const Vector from = waypoints[i];
        const Vector to = waypoints[(i + 1) % count];
        const double leg = Distance(from, to);
        if (travelled < leg) {
            return Lerp(from, to, travelled / leg);
        }
        travelled -= leg;
    }
    return loop ? waypoints.front() : waypoints.back();
}

} // namespace sandbox
