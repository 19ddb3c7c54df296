// The hostile-frames audit on frames and call logs made up by hand, each
// carrying one breach the audit must name, and clean ones it must let pass.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sim/CameraView.h"
#include "validate/ValidateOptions.h"
#include "validate/audit/FrameAudit.h"
#include "validate/audit/HostileFrame.h"

namespace {

using validate::AuditTotals;
using validate::FrameAuditor;
using validate::HostileFrame;

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

std::string ProjectF(Vector v) {
    return "ProjectF " + sim::FormatFloat(v.X) + " " + sim::FormatFloat(v.Y) + " " +
           sim::FormatFloat(v.Z);
}

// A frame's calls that draw one red line between `start` and `end`.
struct Drawing {
    std::vector<std::string> calls;
    std::vector<sim::DrawnLine> lines;
};

Drawing OneRedLine(const HostileFrame& frame, Vector start, Vector end) {
    Drawing d;
    d.calls = {"SetColor 255 0 0 150", ProjectF(end), ProjectF(start), "DrawLine",
               "SetColor 0 255 0 150"};
    d.lines.push_back({Image(frame, start), Image(frame, end), 3.0f, true, {255, 0, 0, 150}});
    return d;
}

std::string Audit(const HostileFrame& frame, const Drawing& d) {
    FrameAuditor auditor;
    AuditTotals totals;
    return auditor.Audit(frame, d.calls, d.lines, totals).value_or("");
}

// The point on the segment from target 1 (800, 5000, 0) to the ball at
// (1000, 0, 500) that is `t` of the way along it.
Vector AlongFirstSegment(float t) {
    return {800.0f + 200.0f * t, 5000.0f - 5000.0f * t, 500.0f * t};
}

TEST(FrameAuditTest, NothingDrawnWhereNothingIsInView) {
    HostileFrame frame = Frame();
    frame.ball->location = {-1000.0f, 0.0f, 0.0f};
    Drawing d;
    d.calls = {"IsInCustomTraining", "SetColor 255 0 0 150", "SetColor 0 255 0 150"};
    EXPECT_EQ(Audit(frame, d), "");
}

TEST(FrameAuditTest, AClippedPieceInsideTheFrustumPasses) {
    // The segment from target 1 to the ball enters the view through the
    // right-hand plane near t = 0.8: the piece from t = 0.9 to the ball is in it.
    const HostileFrame frame = Frame();
    const Drawing d = OneRedLine(frame, AlongFirstSegment(0.9f), frame.ball->location);
    EXPECT_EQ(Audit(frame, d), "");
}

TEST(FrameAuditTest, APointBehindTheCameraIsNamedWithItsPlane) {
    const HostileFrame frame = Frame();
    const Drawing d = OneRedLine(frame, AlongFirstSegment(0.1f), frame.ball->location);
    const std::string breach = Audit(frame, d);
    EXPECT_NE(breach.find("outside the"), std::string::npos) << breach;
    EXPECT_NE(breach.find("plane of the frame's frustum"), std::string::npos) << breach;
}

TEST(FrameAuditTest, ANonFinitePointAtTheCanvasIsABreach) {
    const HostileFrame frame = Frame();
    Drawing d = OneRedLine(frame, AlongFirstSegment(0.9f), frame.ball->location);
    d.calls[1] = "ProjectF nan 0 0";
    EXPECT_NE(Audit(frame, d).find("non-finite point reached the canvas"), std::string::npos);
}

TEST(FrameAuditTest, ALineNotOnAnySegmentIsABreach) {
    const HostileFrame frame = Frame();
    const Drawing d = OneRedLine(frame, {1000.0f, 10.0f, 5.0f}, frame.ball->location);
    EXPECT_NE(Audit(frame, d).find("does not lie on any red segment"), std::string::npos);
}

TEST(FrameAuditTest, ADrawnLineMustRunBetweenTheProjectedPoints) {
    const HostileFrame frame = Frame();
    Drawing d = OneRedLine(frame, AlongFirstSegment(0.9f), frame.ball->location);
    d.lines[0].start.X += 1.0f;
    EXPECT_NE(Audit(frame, d).find("not between the projections"), std::string::npos);
}

TEST(FrameAuditTest, ASegmentWhollyInViewMustBeDrawnWhole) {
    // Target 1 straight ahead of a camera behind it, the ball beside it.
    HostileFrame frame = Frame();
    frame.camera->location = {800.0f, 3000.0f, 0.0f};
    frame.camera->rotation = {0, 16384, 0};
    frame.ball->location = {700.0f, 4000.0f, 0.0f};
    Drawing d;
    d.calls = {"SetColor 255 0 0 150", "SetColor 0 255 0 150"};
    const std::string breach = Audit(frame, d);
    EXPECT_NE(breach.find("lies wholly in the frustum but was not drawn unchanged"),
              std::string::npos)
        << breach;
}

TEST(FrameAuditTest, MoreThanEightLinesIsABreach) {
    const HostileFrame frame = Frame();
    const Drawing one = OneRedLine(frame, AlongFirstSegment(0.9f), frame.ball->location);
    Drawing d;
    for (int i = 0; i < 9; ++i) {
        d.calls.insert(d.calls.end(), one.calls.begin() + 1, one.calls.begin() + 4);
        d.lines.push_back(one.lines.front());
    }
    EXPECT_NE(Audit(frame, d).find("9 lines drawn in one frame, at most 8"), std::string::npos);
}

TEST(FrameAuditTest, DrawingWhenTheOverlayDoesNotApplyIsABreach) {
    for (auto change : {+[](HostileFrame& f) { f.flagOn = false; },
                        +[](HostileFrame& f) { f.mode = sim::GameMode::None; },
                        +[](HostileFrame& f) { f.serverPresent = false; },
                        +[](HostileFrame& f) { f.camera.reset(); }}) {
        HostileFrame frame = Frame();
        const Drawing d = OneRedLine(frame, AlongFirstSegment(0.9f), frame.ball->location);
        change(frame);
        EXPECT_NE(Audit(frame, d).find("does not apply"), std::string::npos) << frame.Describe();
    }
}

TEST(FrameAuditTest, ColoursMustBeSetOnceRedThenGreen) {
    const HostileFrame frame = Frame();
    Drawing d;
    d.calls = {"SetColor 0 255 0 150", "SetColor 255 0 0 150"};
    EXPECT_NE(Audit(frame, d).find("colours were set"), std::string::npos);
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
