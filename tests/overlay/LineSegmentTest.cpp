#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RecordingCanvas.h"
#include "overlay/LineSegment.h"

namespace {

TEST(LineSegmentTest, ParameterRunsFromStartToEnd) {
    const LineSegment segment{{10, 0, 0}, {10, 0, 40}};
    EXPECT_EQ(segment.ParameterOf({10, 0, 0}), 0.0f);
    EXPECT_EQ(segment.ParameterOf({10, 0, 40}), 1.0f);
    EXPECT_EQ(segment.ParameterOf({10, 0, 10}), 0.25f);
    EXPECT_EQ(segment.ParameterOf({99, -7, 30}), 0.75f) << "projected onto the line";
    EXPECT_EQ(segment.ParameterOf({10, 0, -20}), -0.5f);
    EXPECT_EQ(segment.ParameterOf({10, 0, 60}), 1.5f);
}

TEST(LineSegmentTest, ContainsItsEndsAndWhatLiesBetween) {
    const LineSegment segment{{1, 2, 3}, {5, 2, 3}};
    EXPECT_TRUE(segment.ContainsPoint({1, 2, 3})) << "the start itself";
    EXPECT_TRUE(segment.ContainsPoint({5, 2, 3})) << "t = 1";
    EXPECT_TRUE(segment.ContainsPoint({2.5f, 2, 3}));
    EXPECT_FALSE(segment.ContainsPoint({0.999f, 2, 3})) << "just before the start";
    EXPECT_FALSE(segment.ContainsPoint({5.001f, 2, 3})) << "just beyond the end";
    EXPECT_FALSE(segment.ContainsPoint({3, 2.5f, 3})) << "off the line";
}

// The test on the line bounds the sine of the angle seen from the start, so a
// point far along may stray much further from the line than one near it.
TEST(LineSegmentTest, ContainsPointToleratesDirectionNotDistance) {
    const LineSegment segment{{0, 0, 0}, {10000, 0, 0}};
    EXPECT_TRUE(segment.ContainsPoint({8000, 6, 0})) << "sine 0.00075 at 8000 units";
    EXPECT_FALSE(segment.ContainsPoint({8000, 10, 0})) << "sine 0.00125 at 8000 units";
    EXPECT_FALSE(segment.ContainsPoint({10, 0.015f, 0})) << "sine 0.0015 at 10 units";
}

TEST(LineSegmentTest, DirectionIsUnitFromStartToEnd) {
    EXPECT_EQ((LineSegment{{1, 1, 1}, {1, 1, -7}}.Direction()), (Vector{0, 0, -1}));
}

struct DrawCase {
    float thickness;
    std::string drawCall;
};

TEST(LineSegmentTest, DrawProjectsEndThenStartAndPicksTheDrawLineForm) {
    const std::vector<DrawCase> cases = {
        {1.0f, "DrawLine 800 450 900 450"},
        {3.0f, "DrawLine 800 450 900 450 3"},
        {1.5f, "DrawLine 800 450 900 450 1.5"},
    };
    for (const DrawCase& c : cases) {
        RecordingCanvas recording;
        LineSegment{{1000, 0, 0}, {1000, 125, 0}, c.thickness}.Draw(recording.Canvas());
        const std::vector<std::string> expected = {"ProjectF 1000 125 0", "ProjectF 1000 0 0",
                                                   c.drawCall};
        EXPECT_EQ(recording.Log(), expected) << "thickness " << c.thickness;
        ASSERT_EQ(recording.host.lines.size(), 1u);
        EXPECT_EQ(recording.host.lines[0].widthGiven, c.thickness != 1.0f);
        EXPECT_EQ(recording.host.LiveHandles(), 0);
    }
}

} // namespace
