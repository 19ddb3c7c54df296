#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RecordingCanvas.h"
#include "measure/AllocationCounter.h"
#include "overlay/LineSegment.h"
#include "overlay/Quaternion.h"
#include "overlay/VectorMath.h"
#include "overlay/ViewFrustum.h"

namespace {

// The camera at the origin looking along +X, field of view 90, near 50, far
// 20000, on a 1600 x 900 canvas: the view spans |y| < x and |z| < 0.5625 x.
class DrawClippedTest : public ::testing::Test {
protected:
    RecordingCanvas recording;
    ViewFrustum frustum{};

    void SetUp() override { frustum = Build(recording); }

    void TearDown() override {
        EXPECT_EQ(recording.host.LiveHandles(), 0) << "a canvas handle was left alive";
    }

    static ViewFrustum Build(RecordingCanvas& canvas, float fov = 90.0f) {
        const ViewFrustum built =
            ViewFrustum::Build(canvas.Canvas(), RotatorToQuaternion({}), {}, fov, 50.0f, 20000.0f);
        canvas.Clear();
        return built;
    }

    // The world ends of what the clip drew, or nothing; the log must hold
    // either no call at all or exactly two projections and one line.
    std::optional<DrawnSegment> Clip(const LineSegment& segment) {
        recording.Clear();
        segment.DrawClipped(recording.Canvas(), frustum);
        const std::vector<std::string>& log = recording.Log();
        if (log.empty()) {
            EXPECT_TRUE(recording.host.lines.empty());
            return std::nullopt;
        }
        EXPECT_EQ(log.size(), 3u) << "expected ProjectF, ProjectF, DrawLine";
        EXPECT_EQ(log.back().rfind("DrawLine ", 0), 0u) << log.back();
        EXPECT_EQ(recording.host.lines.size(), 1u);
        std::optional<DrawnSegment> drawn = DrawnFrom(recording.host);
        EXPECT_TRUE(drawn.has_value()) << "two projections expected before the line";
        return drawn;
    }
};

void ExpectNear(Vector actual, Vector expected, const char* what) {
    EXPECT_NEAR(actual.X, expected.X, 0.01f) << what;
    EXPECT_NEAR(actual.Y, expected.Y, 0.01f) << what;
    EXPECT_NEAR(actual.Z, expected.Z, 0.01f) << what;
}

TEST_F(DrawClippedTest, BothEndsInsideDrawUnchanged) {
    const LineSegment segment{{1000, 0, 0}, {2000, 125, -50}, 3.0f};
    const std::optional<DrawnSegment> drawn = Clip(segment);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->Start, segment.Start);
    EXPECT_EQ(drawn->End, segment.End);
    EXPECT_EQ(recording.Log()[0], "ProjectF 2000 125 -50");
    EXPECT_EQ(recording.Log()[1], "ProjectF 1000 0 0");
}

TEST_F(DrawClippedTest, EndBehindTheCameraIsCutAtTheNearPlane) {
    const std::optional<DrawnSegment> drawn = Clip({{1000, 0, 0}, {-1000, 0, 0}, 3.0f});
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->Start, (Vector{1000, 0, 0})) << "the inside end stays";
    ExpectNear(drawn->End, {50, 0, 0}, "end moved to the near plane");
}

TEST_F(DrawClippedTest, StartBehindTheCameraIsCutAtTheNearPlane) {
    const std::optional<DrawnSegment> drawn = Clip({{-1000, 0, 0}, {1000, 0, 0}, 3.0f});
    ASSERT_TRUE(drawn);
    ExpectNear(drawn->Start, {50, 0, 0}, "start moved to the near plane");
    EXPECT_EQ(drawn->End, (Vector{1000, 0, 0})) << "the inside end stays";
}

TEST_F(DrawClippedTest, SegmentAcrossTheViewIsCutAtBothSides) {
    const std::optional<DrawnSegment> drawn = Clip({{1000, -5000, 0}, {1000, 5000, 0}, 3.0f});
    ASSERT_TRUE(drawn);
    ExpectNear(drawn->Start, {1000, -1000, 0}, "start on the left plane");
    ExpectNear(drawn->End, {1000, 1000, 0}, "end on the right plane");
}

TEST_F(DrawClippedTest, ReversedSegmentAcrossTheViewKeepsItsDirection) {
    const std::optional<DrawnSegment> drawn = Clip({{1000, 5000, 0}, {1000, -5000, 0}, 3.0f});
    ASSERT_TRUE(drawn);
    ExpectNear(drawn->Start, {1000, 1000, 0}, "start on the right plane");
    ExpectNear(drawn->End, {1000, -1000, 0}, "end on the left plane");
}

TEST_F(DrawClippedTest, SegmentWellClearOfTheViewDrawsNothing) {
    EXPECT_FALSE(Clip({{1000, 5000, 5000}, {2000, 8000, 5000}, 3.0f}));
    EXPECT_FALSE(Clip({{-1000, -5000, 0}, {-1000, 5000, 0}, 3.0f})) << "behind the camera";
}

// Half a unit in front of the camera's near plane the segment meets the left
// plane within the margin, but the right plane only before its start.
TEST_F(DrawClippedTest, BothEndsOutsideWithOneRecordedPlaneDrawNothing) {
    EXPECT_FALSE(Clip({{49.5f, 10, 0}, {49.5f, -200, 0}, 3.0f}));
}

// The start lies one ulp outside the near plane. Its intersection rounds to a
// point a hair from the start, in a direction 0.00105 away from the segment's,
// so the direction test rejects it; no other plane is met within the segment.
TEST_F(DrawClippedTest, OneEndInsideWithNoRecordedPlaneDrawsNothing) {
    const LineSegment segment{{std::nextafter(50.0f, 0.0f), 40, 20}, {1000, 41, 20}, 3.0f};
    ASSERT_FALSE(frustum.IsInside(segment.Start, 0.0f));
    ASSERT_TRUE(frustum.IsInside(segment.End, 0.0f));
    EXPECT_FALSE(Clip(segment));
}

TEST_F(DrawClippedTest, EndExactlyOnAPlaneIsOutside) {
    EXPECT_FALSE(frustum.IsInside({50, 0, 0}, 0.0f));
    // Both ends outside: only the near plane is met on the segment, at its start.
    EXPECT_FALSE(Clip({{50, 0, 0}, {-100, 0, 0}, 3.0f}));
    // One end outside: cut at the near plane, which is the start itself.
    const std::optional<DrawnSegment> drawn = Clip({{50, 0, 0}, {1000, 0, 0}, 3.0f});
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->Start, (Vector{50, 0, 0}));
    EXPECT_EQ(drawn->End, (Vector{1000, 0, 0}));
}

TEST_F(DrawClippedTest, IntersectionHalfAUnitOutsideANeighbourIsKept) {
    ASSERT_EQ(frustum.Planes[4], (FrustumPlane{1, 0, 0, -50})) << "precondition: exact near plane";
    // The whole segment lies half a unit outside the near plane; where it meets
    // the left and right planes it is within the margin of it.
    const std::optional<DrawnSegment> drawn = Clip({{49.5f, 100, 0}, {49.5f, -100, 0}, 3.0f});
    ASSERT_TRUE(drawn);
    ExpectNear(drawn->Start, {49.5f, 49.5f, 0}, "start on the right plane");
    ExpectNear(drawn->End, {49.5f, -49.5f, 0}, "end on the left plane");
}

TEST_F(DrawClippedTest, IntersectionOneUnitOutsideANeighbourIsDropped) {
    ASSERT_EQ(frustum.Planes[4], (FrustumPlane{1, 0, 0, -50})) << "precondition: exact near plane";
    EXPECT_FALSE(Clip({{49.0f, 100, 0}, {49.0f, -100, 0}, 3.0f}));
}

// The segment enters exactly through the top-left edge, so the top and left
// planes are both met there and the right plane where it leaves. The first two
// recorded planes would give a piece of no length at the edge; the drawn piece
// runs from the point nearest each end.
TEST_F(DrawClippedTest, ThreeRecordedPlanesDrawFromNearestToNearest) {
    const std::optional<DrawnSegment> drawn =
        Clip({{1000, -5000, 602.5f}, {1000, 5000, 502.5f}, 3.0f});
    ASSERT_TRUE(drawn) << "the visible piece must be drawn";
    ExpectNear(drawn->Start, {1000, -1000, 562.5f}, "start at the top-left edge");
    ExpectNear(drawn->End, {1000, 1000, 542.5f}, "end on the right plane");

    const std::optional<DrawnSegment> reversed =
        Clip({{1000, 5000, 502.5f}, {1000, -5000, 602.5f}, 3.0f});
    ASSERT_TRUE(reversed) << "the visible piece must be drawn";
    ExpectNear(reversed->Start, {1000, 1000, 542.5f}, "start on the right plane");
    ExpectNear(reversed->End, {1000, -1000, 562.5f}, "end at the top-left edge");
}

// Leaving past the top-left edge: the line meets the left plane first, and the
// top plane half a unit outside the left one, which the margin keeps. With one
// end inside, the first recorded plane in storage order (top) gives the cut,
// though the left plane's point is nearer; the piece ends within a unit of the view.
TEST_F(DrawClippedTest, OneEndInsideIsCutAtTheFirstRecordedPlane) {
    const std::optional<DrawnSegment> drawn =
        Clip({{1000, -990, 552.5f}, {1000, -1011, 572.5f}, 3.0f});
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->Start, (Vector{1000, -990, 552.5f}));
    ExpectNear(drawn->End, {1000, -1000.5f, 562.5f}, "end on the top plane");

    const std::optional<DrawnSegment> reversed =
        Clip({{1000, -1011, 572.5f}, {1000, -990, 552.5f}, 3.0f});
    ASSERT_TRUE(reversed);
    ExpectNear(reversed->Start, {1000, -1000.5f, 562.5f}, "start on the top plane");
    EXPECT_EQ(reversed->End, (Vector{1000, -990, 552.5f}));
}

// A line crossing just outside the top-left edge records the top and left
// planes at two points a few ulps apart, equally far from either end once
// rounded. On equal distances the later plane's point wins, at both ends.
TEST_F(DrawClippedTest, EqualDistancesTakeTheLaterPlane) {
    const LineSegment segment{
        {1285.22192f, -3999.82202f, -521.15448f}, {714.778076f, 2000.17798f, 1646.31738f}, 3.0f};
    const Vector top = frustum.Planes[0].LineIntersection(segment);
    const Vector left = frustum.Planes[2].LineIntersection(segment);
    ASSERT_NE(top, left) << "precondition: two distinct points";
    ASSERT_EQ(Length(segment.Start - top), Length(segment.Start - left)) << "precondition: a tie";
    ASSERT_EQ(Length(segment.End - top), Length(segment.End - left)) << "precondition: a tie";

    const std::optional<DrawnSegment> drawn = Clip(segment);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->Start, left);
    EXPECT_EQ(drawn->End, left);
}

TEST_F(DrawClippedTest, ClippedCopyKeepsTheThickness) {
    Clip({{1000, 0, 0}, {-1000, 0, 0}, 1.0f});
    ASSERT_EQ(recording.host.lines.size(), 1u);
    EXPECT_FALSE(recording.host.lines[0].widthGiven) << recording.Log().back();
    Clip({{1000, 0, 0}, {-1000, 0, 0}, 3.0f});
    ASSERT_EQ(recording.host.lines.size(), 1u);
    EXPECT_TRUE(recording.host.lines[0].widthGiven) << recording.Log().back();
    EXPECT_EQ(recording.host.lines[0].width, 3.0f);
}

TEST_F(DrawClippedTest, ZeroLengthSegmentInViewIsDrawnToItself) {
    const std::optional<DrawnSegment> drawn = Clip({{1000, 10, 10}, {1000, 10, 10}, 3.0f});
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn->Start, (Vector{1000, 10, 10}));
    EXPECT_EQ(drawn->End, (Vector{1000, 10, 10}));
    EXPECT_EQ(recording.host.lines[0].start, recording.host.lines[0].end);
}

TEST_F(DrawClippedTest, ZeroLengthSegmentOutOfViewDrawsNothing) {
    EXPECT_FALSE(Clip({{-100, 0, 0}, {-100, 0, 0}, 3.0f})) << "behind the camera";
    EXPECT_FALSE(Clip({{1000, 3000, 0}, {1000, 3000, 0}, 3.0f})) << "off to the side";
}

TEST_F(DrawClippedTest, NonFiniteEndsDrawNothing) {
    EXPECT_FALSE(Clip({{NAN, 0, 0}, {1000, 0, 0}, 3.0f}));
    EXPECT_FALSE(Clip({{1000, 0, 0}, {1000, NAN, 0}, 3.0f}));
    EXPECT_FALSE(Clip({{INFINITY, 0, 0}, {1000, 0, 0}, 3.0f}));
    EXPECT_FALSE(Clip({{1000, 0, 0}, {-INFINITY, 0, 0}, 3.0f}));
    EXPECT_FALSE(Clip({{1000, -INFINITY, 0}, {1000, INFINITY, 0}, 3.0f}));
}

TEST_F(DrawClippedTest, DegenerateFrustaDrawNothing) {
    const LineSegment inView{{1000, 0, 0}, {2000, 100, 0}, 3.0f};
    const LineSegment across{{1000, -5000, 0}, {1000, 5000, 0}, 3.0f};

    recording.host.canvasSize = {1600, 0};
    frustum = Build(recording);
    EXPECT_FALSE(Clip(inView)) << "canvas of height 0";
    EXPECT_FALSE(Clip(across)) << "canvas of height 0";

    recording.host.canvasSize = {1600, 900};
    frustum = Build(recording, 0.0f);
    EXPECT_FALSE(Clip(inView)) << "field of view 0";
    EXPECT_FALSE(Clip(across)) << "field of view 0";
}

TEST_F(DrawClippedTest, HandsDrawAFreshHandleAndReleasesBoth) {
    recording.host.log.handles = true;
    {
        CanvasWrapper canvas = recording.Canvas();
        recording.Clear();
        LineSegment{{1000, 0, 0}, {-1000, 0, 0}, 3.0f}.DrawClipped(canvas, frustum);
    }
    const std::vector<std::string>& log = recording.Log();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(log[0], "+CanvasWrapper") << "DrawClipped's own copy";
    EXPECT_EQ(log[1], "+CanvasWrapper") << "the copy handed to Draw";
    EXPECT_EQ(log[5], "-CanvasWrapper");
    EXPECT_EQ(log[6], "-CanvasWrapper");
    EXPECT_EQ(log[7], "-CanvasWrapper") << "the caller's handle";
}

// Every branch of the clip, drawn with the call log off and room for the
// lines made beforehand, so that only the overlay's own storage could count.
TEST_F(DrawClippedTest, AllocatesNothing) {
    const LineSegment segments[] = {
        {{1000, 0, 0}, {2000, 125, -50}, 3.0f},              // both inside
        {{1000, 0, 0}, {-1000, 0, 0}, 3.0f},                 // end outside
        {{-1000, 0, 0}, {1000, 0, 0}, 1.0f},                 // start outside
        {{1000, -5000, 0}, {1000, 5000, 0}, 3.0f},           // both outside, two planes
        {{1000, -5000, 602.5f}, {1000, 5000, 502.5f}, 3.0f}, // three planes
        {{1000, 5000, 5000}, {2000, 8000, 5000}, 3.0f},      // clear of the view
        {{-100, 0, 0}, {-100, 0, 0}, 3.0f},                  // zero length, outside
    };
    recording.host.log.calls = false;
    recording.host.lines.reserve(16);
    recording.host.projections.reserve(16);
    long allocations = 0;
    {
        CanvasWrapper canvas = recording.Canvas();
        const AllocationCounter counter;
        for (const LineSegment& segment : segments) {
            segment.DrawClipped(canvas, frustum);
        }
        allocations = counter.Count();
    }
    EXPECT_EQ(recording.host.lines.size(), 5u) << "the cases did not all draw as intended";
    EXPECT_EQ(allocations, 0) << "drawing a frame must not touch the heap";
}

} // namespace
