// The per-frame drawable, checked as the exact sequence of SDK calls it makes.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "PluginUnderTest.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {

class RenderOverlayTest : public ::testing::Test {
protected:
    RenderOverlayTest() {
        hosted_.host.console.Preset("qm_enabled", "1");
        hosted_.Load();
        // Behind the middle of the field, looking up it and a little down.
        hosted_.host.mode = sim::GameMode::Freeplay;
        hosted_.host.ball = sim::Actor{{0.0f, 0.0f, 93.0f}, {}, 0.0f};
        hosted_.host.camera = sim::Actor{{0.0f, -6000.0f, 800.0f}, {-2000, 16384, 0}, 90.0f};
    }

    ~RenderOverlayTest() override {
        hosted_.Unload();
        EXPECT_EQ(hosted_.host.LiveHandles(), 0);
    }

    // The SDK calls of one frame; handles must all be returned by its end.
    std::vector<std::string> Frame() {
        const long before = hosted_.host.LiveHandles();
        hosted_.host.log.Clear();
        hosted_.host.log.calls = true;
        hosted_.host.RunFrame();
        hosted_.host.log.calls = false;
        EXPECT_EQ(hosted_.host.LiveHandles(), before) << "a handle made in the frame outlived it";
        return hosted_.host.log.lines;
    }

    static std::vector<std::string> Operations(const std::vector<std::string>& lines) {
        std::vector<std::string> names;
        for (const auto& line : lines) {
            names.push_back(line.substr(0, line.find(' ')));
        }
        return names;
    }

    PluginUnderTest hosted_;
};

const std::vector<std::string> kFrameStart = {
    "IsInCustomTraining",
    "IsInFreeplay",
    "GetGameEventAsServer",
    "GetBall",
    "IsNull",
    "GetLocation",
    "GetCamera",
    "IsNull",
    "GetFOV",
    "GetLocation",
    "GetRotation",
    "GetSize",
    "GetSize",
};

} // namespace

TEST_F(RenderOverlayTest, FlagOffMakesNoCall) {
    hosted_.host.console.Execute("qm_enabled 0");
    EXPECT_THAT(Frame(), ElementsAre());
    EXPECT_TRUE(hosted_.host.lines.empty());
}

TEST_F(RenderOverlayTest, OutsideTheThreeModesOnlyTheModesAreAsked) {
    hosted_.host.mode = sim::GameMode::None;
    EXPECT_THAT(Frame(), ElementsAre("IsInCustomTraining", "IsInFreeplay", "IsInReplay"));
    EXPECT_TRUE(hosted_.host.lines.empty());
}

TEST_F(RenderOverlayTest, ModesAreAskedUntilTheFirstYes) {
    hosted_.host.mode = sim::GameMode::CustomTraining;
    EXPECT_EQ(Frame().at(1), "GetGameEventAsServer");
    hosted_.host.mode = sim::GameMode::Replay;
    EXPECT_THAT(std::vector<std::string>(Frame()).at(3), "GetGameEventAsServer");
    EXPECT_EQ(hosted_.host.lines.size(), 8u);
}

TEST_F(RenderOverlayTest, NoBallMeansNoCameraQueryAndNoDrawing) {
    hosted_.host.ball.reset();
    EXPECT_THAT(Frame(), ElementsAre("IsInCustomTraining", "IsInFreeplay", "GetGameEventAsServer",
                                     "GetBall", "IsNull"));
    hosted_.host.serverPresent = false;
    hosted_.host.ball = sim::Actor{};
    EXPECT_THAT(Frame(), ElementsAre("IsInCustomTraining", "IsInFreeplay", "GetGameEventAsServer",
                                     "GetBall", "IsNull"))
        << "a null server hands out a null ball";
    EXPECT_TRUE(hosted_.host.lines.empty());
}

TEST_F(RenderOverlayTest, NoCameraMeansNoDrawing) {
    hosted_.host.camera.reset();
    EXPECT_THAT(Frame(), ElementsAre("IsInCustomTraining", "IsInFreeplay", "GetGameEventAsServer",
                                     "GetBall", "IsNull", "GetLocation", "GetCamera", "IsNull"));
    EXPECT_TRUE(hosted_.host.lines.empty());
}

TEST_F(RenderOverlayTest, FullFrameDrawsFourRedThenFourGreenLines) {
    const auto lines = Frame();
    auto operations = Operations(lines);
    ASSERT_GE(operations.size(), kFrameStart.size());
    EXPECT_THAT(
        std::vector<std::string>(operations.begin(), operations.begin() + kFrameStart.size()),
        ElementsAreArray(kFrameStart));

    // Each colour once per group, then per visible line: the ball's end
    // projected first, the target's (or where the line leaves the view) second.
    std::vector<std::string> rest(lines.begin() + kFrameStart.size(), lines.end());
    const auto green = std::find(rest.begin(), rest.end(), "SetColor 0 255 0 150");
    ASSERT_EQ(rest.front(), "SetColor 255 0 0 150");
    ASSERT_NE(green, rest.end());
    EXPECT_EQ(std::count_if(rest.begin(), rest.end(),
                            [](const std::string& l) { return l.starts_with("SetColor"); }),
              2);
    for (auto group : {std::vector<std::string>(rest.begin() + 1, green),
                       std::vector<std::string>(green + 1, rest.end())}) {
        ASSERT_EQ(group.size(), 12u) << "four lines of ProjectF, ProjectF, DrawLine";
        for (std::size_t i = 0; i < group.size(); i += 3) {
            EXPECT_EQ(group[i], "ProjectF 0 0 93") << "the ball's end is projected first";
            EXPECT_TRUE(group[i + 1].starts_with("ProjectF ")) << group[i + 1];
            EXPECT_TRUE(group[i + 2].starts_with("DrawLine ")) << group[i + 2];
            EXPECT_TRUE(group[i + 2].ends_with(" 3")) << "the width form, width 3";
        }
    }

    ASSERT_EQ(hosted_.host.lines.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        const auto& line = hosted_.host.lines[i];
        EXPECT_EQ(line.color, (i < 4 ? sim::Color{255, 0, 0, 150} : sim::Color{0, 255, 0, 150}));
        EXPECT_EQ(line.width, 3.0f);
        for (Vector2F end : {line.start, line.end}) {
            EXPECT_TRUE(end.X >= -1.0f && end.X <= 1601.0f && end.Y >= -1.0f && end.Y <= 901.0f)
                << "line " << i << " ends off the canvas at " << end.X << ", " << end.Y;
        }
    }
}

TEST_F(RenderOverlayTest, HandlesAreDestroyedCameraBallServer) {
    hosted_.host.log.handles = true;
    auto lines = Frame();
    std::erase_if(lines, [](const std::string& l) {
        return !(l.starts_with('+') || l.starts_with('-')) || l.ends_with("CanvasWrapper");
    });
    EXPECT_THAT(lines,
                ElementsAre("+ServerWrapper", "+BallWrapper", "+CameraWrapper", "+CameraWrapper",
                            "-CameraWrapper", "-CameraWrapper", "-BallWrapper", "-ServerWrapper"));
}

TEST_F(RenderOverlayTest, BallAtATargetPointDrawsThatPointToItself) {
    hosted_.host.ball->location = Vector{800.0f, 5000.0f, 0.0f};
    const auto lines = Frame();
    const auto red = std::find(lines.begin(), lines.end(), "SetColor 255 0 0 150");
    ASSERT_NE(red, lines.end());
    EXPECT_EQ(red[1], "ProjectF 800 5000 0");
    EXPECT_EQ(red[2], "ProjectF 800 5000 0");
    const auto& first = hosted_.host.lines.at(0);
    EXPECT_EQ(first.start, first.end);
}

TEST_F(RenderOverlayTest, ViewTooThinForSinglePrecisionDrawsNoLine) {
    // A field of view of a thousandth of a degree with the camera standing on
    // target 5: single precision cannot place the near plane, and the camera's
    // own position, which has no image, would reach the canvas.
    hosted_.host.canvasSize = {3840, 2160};
    hosted_.host.ball->location = Vector{895.364563f, -5010.60303f, 5.56524992f};
    hosted_.host.camera = sim::Actor{{800.0f, -5000.0f, 0.0f}, {-50343, -1, 15074}, 0.001f};
    const auto lines = Frame();
    EXPECT_THAT(Operations(lines), testing::Contains("SetColor").Times(2))
        << "both colour groups are still set";
    EXPECT_THAT(lines, testing::Not(testing::Contains("ProjectF 800 -5000 0")));
    for (const auto& line : hosted_.host.lines) {
        EXPECT_TRUE(std::isfinite(line.start.X) && std::isfinite(line.start.Y) &&
                    std::isfinite(line.end.X) && std::isfinite(line.end.Y));
    }
    EXPECT_TRUE(hosted_.host.lines.empty());
}
