#include "scenario/Track.h"

#include <algorithm>
#include <cmath>

#include "base/WorldMath.h"

namespace sandbox {

Track::Track(std::vector<Vector> waypoints, double speed, bool loop)
    : waypoints_(std::move(waypoints)), speed_(speed), loop_(loop) {
    const std::size_t count = waypoints_.size();
    const std::size_t legs = count < 2 ? 0 : (loop ? count : count - 1);
    legEnds_.reserve(legs);
    double length = 0.0;
    for (std::size_t i = 0; i < legs; ++i) {
        length += Distance(waypoints_[i], waypoints_[(i + 1) % count]);
        legEnds_.push_back(length);
    }
}

Vector Track::At(int frame) const {
    if (waypoints_.empty()) {
        return {};
    }
    // No legs, no length or no speed: standing still. A length that is not a
    // finite number (coordinates a file with host bounds may hold) has no
    // place along it either.
    const double length = legEnds_.empty() ? 0.0 : legEnds_.back();
    if (!(length > 0.0) || !std::isfinite(length) || !(speed_ > 0.0)) {
        return waypoints_.front();
    }
    double travelled = speed_ * (frame - 1);
    if (loop_) {
        travelled = std::fmod(travelled, length);
    } else if (travelled >= length) {
        return waypoints_.back();
    }
    // The first leg ending past the distance travelled; it has a length, as
    // the one before it ends no further than that distance.
    const auto leg = static_cast<std::size_t>(
        std::upper_bound(legEnds_.begin(), legEnds_.end(), travelled) - legEnds_.begin());
    const double start = leg == 0 ? 0.0 : legEnds_[leg - 1];
    return Lerp(waypoints_[leg], waypoints_[(leg + 1) % waypoints_.size()],
                (travelled - start) / (legEnds_[leg] - start));
}

} // namespace sandbox
