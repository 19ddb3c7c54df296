// Where a track puts its object frame by frame: still, along its legs at its
// speed, stopping at the end or going round again, a loop's way back included.
#include <gtest/gtest.h>

#include <cmath>

#include "scenario/Track.h"

namespace sandbox {
namespace {

TEST(TrackTest, StandsAtItsOnlyWaypoint) {
    const Track track({{1, 2, 3}}, 50.0, true);
    EXPECT_EQ(track.At(1), (Vector{1, 2, 3}));
    EXPECT_EQ(track.At(100), (Vector{1, 2, 3}));
}

TEST(TrackTest, MovesAtItsSpeedAcrossWaypointsAndStaysAtTheEnd) {
    const Track track({{0, 0, 0}, {100, 0, 0}, {100, 100, 0}}, 30.0, false);
    EXPECT_EQ(track.At(1), (Vector{0, 0, 0}));
    EXPECT_EQ(track.At(2), (Vector{30, 0, 0}));
    EXPECT_EQ(track.At(5), (Vector{100, 20, 0}))
        << "90 units along the first leg, 20 round the corner";
    EXPECT_EQ(track.At(7), (Vector{100, 80, 0}));
    for (const int frame : {8, 9, 100, 1000000}) {
        EXPECT_EQ(track.At(frame), (Vector{100, 100, 0})) << "stops at the end: frame " << frame;
    }
}

TEST(TrackTest, LoopGoesRoundAgainByItsClosingLeg) {
    const Track there({{0, 0, 0}, {100, 0, 0}}, 50.0, true);
    // Out 100 and back 100: 200 units a lap.
    EXPECT_EQ(there.At(4), (Vector{50, 0, 0})) << "150 units: halfway back";
    EXPECT_EQ(there.At(5), (Vector{0, 0, 0}));
    EXPECT_EQ(there.At(6), (Vector{50, 0, 0}));

    // Legs of 300 and 400, then 500 from the last waypoint back to the first.
    const Track triangle({{0, 0, 0}, {300, 0, 0}, {300, 400, 0}}, 100.0, true);
    EXPECT_EQ(triangle.At(8), (Vector{300, 400, 0}));
    EXPECT_EQ(triangle.At(9), (Vector{240, 320, 0})) << "on the way back to the first";
    EXPECT_EQ(triangle.At(12), (Vector{60, 80, 0}));
    EXPECT_EQ(triangle.At(13), (Vector{0, 0, 0})) << "a lap of 1200 units";
    EXPECT_EQ(triangle.At(14), (Vector{100, 0, 0}));
    EXPECT_EQ(triangle.At(1 + 12 * 1000 + 8), (Vector{240, 320, 0})) << "a thousand laps on";
}

TEST(TrackTest, ALongPathFindsEveryFramesLeg) {
    // Waypoints along X ever further apart (legs of 1, 3, 5, ... units) and a
    // leg of no length: each frame must land in its own leg.
    std::vector<Vector> waypoints;
    for (int i = 0; i <= 200; ++i) {
        waypoints.push_back({float(i * i), 0, 0});
    }
    waypoints.insert(waypoints.begin() + 50, waypoints[50]);
    const double speed = 7.0;
    const Track track(waypoints, speed, false);
    for (int frame = 1; frame * speed < 200 * 200; ++frame) {
        EXPECT_FLOAT_EQ(track.At(frame).X, float(speed * (frame - 1))) << "frame " << frame;
    }
    EXPECT_EQ(track.At(100000), (Vector{40000, 0, 0}));
}

TEST(TrackTest, APathOfNoLengthOrNonFiniteLengthStandsAtItsStart) {
    EXPECT_EQ(Track({{5, 5, 5}, {5, 5, 5}}, 10.0, true).At(7), (Vector{5, 5, 5}));
    // A leg of no length first: frame 1 is at the start, not lost in that leg.
    const Track pause({{5, 5, 5}, {5, 5, 5}, {15, 5, 5}}, 10.0, false);
    EXPECT_EQ(pause.At(1), (Vector{5, 5, 5}));
    EXPECT_EQ(pause.At(2), (Vector{15, 5, 5}));
    const float infinity = INFINITY;
    EXPECT_EQ(Track({{1, 2, 3}, {infinity, 0, 0}}, 10.0, false).At(7), (Vector{1, 2, 3}));
    EXPECT_EQ(Track({{1, 2, 3}, {NAN, 0, 0}}, 10.0, true).At(7), (Vector{1, 2, 3}));
}

} // namespace
} // namespace sandbox
