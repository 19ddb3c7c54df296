// The two audits of hostile frames - the rules for any plugin (FrameAuditor)
// and what Quellmark's overlay must draw (OverlayAuditor) - on frames and
// drawings made up by hand, each carrying one breach an audit must name, and
// clean ones it must let pass.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sim/CameraView.h"
#include "validate/ValidateOptions.h"
#include "validate/audit/FrameAudit.h"
#include "validate/audit/FrameView.h"
#include "validate/audit/HostileFrame.h"
#include "validate/audit/OverlayAudit.h"
#include "validate/judge/ClipJudge.h"

namespace {

using validate::FrameAuditor;
using validate::FrameRecord;
using validate::HostileFrame;
using validate::OverlayAuditor;

// A camera at the origin looking along +X, the ball 1000 units ahead and near
// the top of the view (54 units inside the top plane): every target lies out
// of view, so only pieces near the ball can be drawn, and none has to be.
HostileFrame Frame() {
    HostileFrame frame;
    frame.mode = sim::GameMode::Freeplay;
    frame.canvas = {1600, 900};
    frame.ball = sim::Actor{{1000.0f, 0.0f, 500.0f}, {}, 0.0f};
    frame.camera = sim::Actor{{0.0f, 0.0f, 0.0f}, {0, 0, 0}, 90.0f};
    return frame;
}

Vector2F Image(const HostileFrame& frame, Vector point) {
    return sim::CameraView(frame.camera->location, frame.camera->rotation, frame.camera->fov,
                           frame.canvas)
        .Project(point);
}

// What a frame handed the canvas, as the host records it.
struct Drawing {
    std::vector<Vector> projections;
    std::vector<sim::DrawnLine> lines;
    std::vector<std::string> calls;

    // Projects the end, then the start, and draws the line between them in
    // `color`, as the overlay's Draw does.
    void Line(const HostileFrame& frame, Vector start, Vector end,
              sim::Color color = {255, 0, 0, 150}) {
        projections.push_back(end);
        projections.push_back(start);
        lines.push_back(
            {Image(frame, start), Image(frame, end), 3.0f, true, color, projections.size()});
    }
    FrameRecord Record() const { return {projections, lines, calls}; }
};

// One red line between `start` and `end`, the colours set as the overlay sets them.
Drawing OneRedLine(const HostileFrame& frame, Vector start, Vector end) {
    Drawing d;
    d.calls = {"SetColor 255 0 0 150", "SetColor 0 255 0 150"};
    d.Line(frame, start, end);
    return d;
}

std::string Generic(const HostileFrame& frame, const Drawing& d) {
    FrameAuditor auditor;
    return auditor.Judge(frame, d.Record()).value_or("");
}

std::string Overlay(const HostileFrame& frame, const Drawing& d) {
    OverlayAuditor auditor;
    return auditor.Judge(frame, d.Record()).value_or("");
}

// The point on the segment from target 1 (800, 5000, 0) to the ball at
// (1000, 0, 500) that is `t` of the way along it.
Vector AlongFirstSegment(float t) {
    return {800.0f + 200.0f * t, 5000.0f - 5000.0f * t, 500.0f * t};
}

TEST(FrameAuditTest, AClippedPieceInsideTheFrustumPassesBoth) {
    // The segment from target 1 to the ball enters the view through the
    // right-hand plane near t = 0.8: the piece from t = 0.9 to the ball is in it.
    const HostileFrame frame = Frame();
    const Drawing d = OneRedLine(frame, AlongFirstSegment(0.9f), frame.ball->location);
    EXPECT_EQ(Generic(frame, d), "");
    EXPECT_EQ(Overlay(frame, d), "");
}

TEST(FrameAuditTest, APointOutOfViewIsNamedWithItsPlaneByBoth) {
    const HostileFrame frame = Frame();
    const Drawing d = OneRedLine(frame, AlongFirstSegment(0.1f), frame.ball->location);
    for (const std::string& breach : {Generic(frame, d), Overlay(frame, d)}) {
        EXPECT_NE(breach.find("units outside the"), std::string::npos) << breach;
        EXPECT_NE(breach.find("plane of the frame's frustum"), std::string::npos) << breach;
    }
}

TEST(FrameAuditTest, APointMayLieOutsideByTheClippingMarginAndNoMore) {
    // The side planes of the frame's view stand at |y| = x: a point at
    // (1000, 1000 + d * sqrt(2), 0) lies d units outside one of them.
    const HostileFrame frame = Frame();
    for (const float side : {1.0f, -1.0f}) {
        for (const auto& [outside, breaches] : {std::pair{0.5f, false}, std::pair{1.5f, true}}) {
            Drawing d;
            d.projections.push_back({1000.0f, side * (1000.0f + outside * 1.41421356f), 0.0f});
            const std::string breach = Generic(frame, d);
            EXPECT_EQ(!breach.empty(), breaches) << outside << " units outside: " << breach;
            if (breaches) {
                EXPECT_NE(breach.find("lies 1.5"), std::string::npos) << breach;
            }
        }
    }
}

TEST(FrameAuditTest, NonFiniteCanvasArgumentsAreBreaches) {
    const HostileFrame frame = Frame();
    Drawing d = OneRedLine(frame, AlongFirstSegment(0.9f), frame.ball->location);
    d.projections[0].X = NAN;
    EXPECT_NE(Generic(frame, d).find("non-finite point reached the canvas"), std::string::npos);
    d = OneRedLine(frame, AlongFirstSegment(0.9f), frame.ball->location);
    d.lines[0].width = INFINITY;
    EXPECT_NE(Generic(frame, d).find("non-finite DrawLine argument"), std::string::npos);
}

TEST(FrameAuditTest, AnyPluginMayDrawStraightOnTheCanvasButProjectOnlyWithACamera) {
    HostileFrame frame = Frame();
    Drawing d;
    d.lines.push_back({{10.0f, 10.0f}, {200.0f, 10.0f}, 1.0f, false, {1, 2, 3, 4}, 0});
    EXPECT_EQ(Generic(frame, d), "") << "a line of its own, in canvas pixels";
    frame.camera.reset();
    d.projections.push_back({1000.0f, 0.0f, 0.0f});
    EXPECT_NE(Generic(frame, d).find("handed to ProjectF in a frame without a camera"),
              std::string::npos);
}

TEST(FrameAuditTest, TheOverlaysLinesLieOnItsSegmentsRunningTheirWay) {
    const HostileFrame frame = Frame();
    const Drawing off = OneRedLine(frame, {1000.0f, 10.0f, 5.0f}, frame.ball->location);
    EXPECT_EQ(Generic(frame, off), "") << "in view, so fine for any plugin";
    EXPECT_NE(Overlay(frame, off).find("does not lie on any red segment"), std::string::npos);
    const Drawing backwards = OneRedLine(frame, frame.ball->location, AlongFirstSegment(0.9f));
    EXPECT_NE(Overlay(frame, backwards).find("runs against its segment's direction"),
              std::string::npos);
}

// The judge itself, as the overlay's property test and the clipping fuzzer
// use it: a piece of a segment must lie on it, end to end, and run its way.
TEST(ClipJudgeTest, APieceLiesOnItsSegmentAndRunsItsWay) {
    const HostileFrame frame = Frame();
    sim::Host scratch;
    const validate::ClipJudge clip(
        validate::FrameFrustum(*frame.camera, frame.canvas, scratch).Planes);
    const Vector target{800.0f, 5000.0f, 0.0f};
    const Vector ball = frame.ball->location;
    const Vector inside = AlongFirstSegment(0.9f);
    EXPECT_EQ(clip.JudgePiece(target, ball, inside, ball), std::nullopt);
    const auto off = clip.JudgePiece(target, ball, inside + Vector{0.0f, 0.0f, 5.0f}, ball);
    EXPECT_NE(off.value_or("").find("units off the segment"), std::string::npos)
        << off.value_or("judged a clipping");
    const Vector beyond = ball + (ball - target) * 0.001f;
    EXPECT_NE(clip.JudgePiece(target, ball, inside, beyond).value_or("").find("off the segment"),
              std::string::npos);
    EXPECT_NE(clip.JudgePiece(target, ball, ball, inside).value_or("").find("runs against"),
              std::string::npos);
}

TEST(FrameAuditTest, AnOverlayLineMustRunBetweenTheTwoPointsProjectedForIt) {
    const HostileFrame frame = Frame();
    Drawing d = OneRedLine(frame, AlongFirstSegment(0.9f), frame.ball->location);
    d.lines[0].start.X += 1.0f;
    EXPECT_NE(Overlay(frame, d).find("not between the projections"), std::string::npos);
    d = OneRedLine(frame, AlongFirstSegment(0.9f), frame.ball->location);
    d.projections.erase(d.projections.begin());
    d.lines[0].projectionsBefore = 1;
    EXPECT_NE(Overlay(frame, d).find("a DrawLine followed 1 ProjectF calls, expected 2"),
              std::string::npos);
    d = OneRedLine(frame, AlongFirstSegment(0.9f), frame.ball->location);
    d.projections.push_back(frame.ball->location);
    EXPECT_NE(Overlay(frame, d).find("1 ProjectF calls were not followed by a DrawLine"),
              std::string::npos);
}

TEST(FrameAuditTest, ASegmentWhollyInViewMustBeDrawnWhole) {
    // Target 1 straight ahead of a camera behind it, the ball beside it.
    HostileFrame frame = Frame();
    frame.camera->location = {800.0f, 3000.0f, 0.0f};
    frame.camera->rotation = {0, 16384, 0};
    frame.ball->location = {700.0f, 4000.0f, 0.0f};
    Drawing d;
    d.calls = {"SetColor 255 0 0 150", "SetColor 0 255 0 150"};
    const std::string breach = Overlay(frame, d);
    EXPECT_NE(breach.find("lies wholly in the frustum but was not drawn unchanged"),
              std::string::npos)
        << breach;
}

TEST(FrameAuditTest, MoreThanEightOverlayLinesIsABreach) {
    const HostileFrame frame = Frame();
    Drawing d = OneRedLine(frame, AlongFirstSegment(0.9f), frame.ball->location);
    for (int i = 0; i < 8; ++i) {
        d.Line(frame, AlongFirstSegment(0.9f), frame.ball->location);
    }
    EXPECT_NE(Overlay(frame, d).find("9 lines drawn in one frame, at most 8"), std::string::npos);
}

TEST(FrameAuditTest, DrawingWhenTheOverlayDoesNotApplyIsABreach) {
    for (auto change : {+[](HostileFrame& f) { f.flagOn = false; },
                        +[](HostileFrame& f) { f.mode = sim::GameMode::None; },
                        +[](HostileFrame& f) { f.serverPresent = false; },
                        +[](HostileFrame& f) { f.camera.reset(); }}) {
        HostileFrame frame = Frame();
        Drawing d = OneRedLine(frame, AlongFirstSegment(0.9f), frame.ball->location);
        d.calls.insert(d.calls.begin() + 1,
                       {"ProjectF 1000 0 500", "ProjectF 980 500 450", "DrawLine 1 2 3 4 3"});
        change(frame);
        EXPECT_NE(Overlay(frame, d).find("does not apply"), std::string::npos) << frame.Describe();
    }
}

TEST(FrameAuditTest, OverlayColoursAreSetOnceRedThenGreen) {
    const HostileFrame frame = Frame();
    Drawing d;
    d.calls = {"SetColor 0 255 0 150", "SetColor 255 0 0 150"};
    EXPECT_NE(Overlay(frame, d).find("colours were set"), std::string::npos);
    EXPECT_EQ(Generic(frame, d), "") << "any colours for any plugin";
}

TEST(HostileFrameTest, TheSameSeedDrawsTheSameFrames) {
    validate::Random a(42);
    validate::Random b(42);
    validate::Random c(43);
    int differing = 0;
    for (int i = 0; i < 100; ++i) {
        const std::string x = HostileFrame::Draw(a).Describe();
        EXPECT_EQ(x, HostileFrame::Draw(b).Describe()) << "frame " << i;
        differing += x != HostileFrame::Draw(c).Describe();
    }
    EXPECT_GT(differing, 90) << "another seed draws other frames";
}

TEST(HostileFrameTest, TheRequiredHostileInputsAllOccur) {
    validate::Random random(validate::kDefaultSeed);
    bool fov[6] = {};
    bool canvas[3] = {};
    bool nanBall = false, infBall = false, hugeBall = false, noBall = false, noCamera = false;
    for (int i = 0; i < 100000; ++i) {
        const HostileFrame f = HostileFrame::Draw(random);
        if (f.camera) {
            const float values[6] = {0.0f, 1.0f, 179.0f, 180.0f, 200.0f, 360.0f};
            for (int k = 0; k < 6; ++k) {
                fov[k] = fov[k] || f.camera->fov == values[k];
            }
        }
        noCamera = noCamera || !f.camera;
        canvas[0] = canvas[0] || (f.canvas.X == 0 && f.canvas.Y == 0);
        canvas[1] = canvas[1] || (f.canvas.X == 1 && f.canvas.Y == 1);
        canvas[2] = canvas[2] || (f.canvas.X == 16384 && f.canvas.Y == 16384);
        noBall = noBall || !f.ball;
        if (f.ball) {
            const Vector b = f.ball->location;
            for (float v : {b.X, b.Y, b.Z}) {
                nanBall = nanBall || std::isnan(v);
                infBall = infBall || std::isinf(v);
                hugeBall = hugeBall || std::fabs(v) == 1e30f;
            }
        }
    }
    for (int k = 0; k < 6; ++k) {
        EXPECT_TRUE(fov[k]) << "field of view number " << k << " of 0, 1, 179, 180, 200, 360";
    }
    EXPECT_TRUE(canvas[0] && canvas[1] && canvas[2]) << "canvases 0x0, 1x1, 16384x16384";
    EXPECT_TRUE(nanBall && infBall && hugeBall) << "balls at NaN, infinity and 1e30";
    EXPECT_TRUE(noBall && noCamera) << "absent ball and camera";
}

} // namespace
