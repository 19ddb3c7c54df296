// A pose written as a scenario and read back: the same game, to the bit.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "base/InputError.h"
#include "scenario/PoseScenario.h"
#include "scenario/ScenarioParser.h"

namespace sandbox {
namespace {

std::uint32_t Bits(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

void ExpectSameBits(Vector read, Vector written, const char* what) {
    EXPECT_EQ(Bits(read.X), Bits(written.X)) << what << ".X " << written.X;
    EXPECT_EQ(Bits(read.Y), Bits(written.Y)) << what << ".Y " << written.Y;
    EXPECT_EQ(Bits(read.Z), Bits(written.Z)) << what << ".Z " << written.Z;
}

TEST(PoseScenarioTest, TheGameReadsBackBitForBit) {
    sim::Host host;
    host.mode = sim::GameMode::Replay;
    host.serverPresent = false;
    host.canvasSize = {813, 457};
    // Floats that print long, tiny, negative and on the coordinate bound.
    host.camera = sim::Actor{{0.1f, -1234.5679f, 1e-7f}, {-3001, 70000, 12}, 73.33333f};
    host.ball = sim::Actor{{1000000.0f, -999999.94f, 3.14159274f}, {}, 0.0f};
    sim::Variable variable;
    variable.name = "qm_enabled";
    variable.defaultValue = "0";
    host.console.Register(variable);
    host.console.Execute("qm_enabled \"say \\\"hi\\\"\"");

    const Scenario scenario = ParseScenario(PoseScenarioText(host), "pose.json");
    EXPECT_EQ(scenario.mode, sim::GameMode::Replay);
    EXPECT_FALSE(scenario.serverPresent);
    EXPECT_EQ(scenario.canvas, (Vector2{813, 457}));
    EXPECT_EQ(scenario.frames, 1);
    const FrameState state = StateAt(scenario, 1);
    ASSERT_TRUE(state.camera && state.ball);
    ExpectSameBits(state.camera->location, host.camera->location, "camera");
    EXPECT_EQ(state.camera->rotation, host.camera->rotation);
    EXPECT_EQ(Bits(state.camera->fov), Bits(host.camera->fov));
    ExpectSameBits(state.ball->location, host.ball->location, "ball");
    EXPECT_EQ(scenario.cvars, (std::vector<std::pair<std::string, std::string>>{
                                  {"qm_enabled", host.console.Find("qm_enabled")->value}}));
}

TEST(PoseScenarioTest, AbsentCameraAndBallStayAbsent) {
    sim::Host host;
    const Scenario scenario = ParseScenario(PoseScenarioText(host), "pose.json");
    EXPECT_EQ(scenario.mode, sim::GameMode::None);
    EXPECT_FALSE(scenario.camera);
    EXPECT_FALSE(scenario.ball);
    EXPECT_TRUE(scenario.cvars.empty());
}

TEST(PoseScenarioTest, AnOrdinaryPoseMakesAnOrdinaryFile) {
    sim::Host host;
    host.ball = sim::Actor{{0.0f, 1000000.0f, 93.0f}, {}, 0.0f};
    EXPECT_EQ(PoseScenarioText(host).find("bounds"), std::string::npos)
        << "a pose within a scenario's bounds needs no marker";
}

TEST(PoseScenarioTest, AHostilePoseIsMarkedAndReadsBackBitForBit) {
    // What the validator hands the plugin: past every ordinary bound.
    sim::Host host;
    host.mode = sim::GameMode::CustomTraining;
    host.canvasSize = {16384, 0};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    host.camera = sim::Actor{{-infinity, 2.0e6f, 3.0e38f}, {-2147483647 - 1, 0, 7}, 207.0f};
    host.ball = sim::Actor{{nan, infinity, -std::numeric_limits<float>::max()}, {}, 0.0f};

    const std::string text = PoseScenarioText(host);
    EXPECT_NE(text.find("\"bounds\": \"host\""), std::string::npos) << text;
    const Scenario scenario = ParseScenario(text, "pose.json");
    EXPECT_EQ(scenario.mode, sim::GameMode::CustomTraining);
    EXPECT_EQ(scenario.canvas, (Vector2{16384, 0}));
    const FrameState state = StateAt(scenario, 1);
    ASSERT_TRUE(state.camera && state.ball);
    ExpectSameBits(state.camera->location, host.camera->location, "camera");
    EXPECT_EQ(state.camera->rotation, host.camera->rotation);
    EXPECT_EQ(Bits(state.camera->fov), Bits(host.camera->fov));
    EXPECT_TRUE(std::isnan(state.ball->location.X));
    EXPECT_EQ(Bits(state.ball->location.Y), Bits(infinity));
    EXPECT_EQ(Bits(state.ball->location.Z), Bits(host.ball->location.Z))
        << "the largest float, written in nine digits, reads back";
}

TEST(PoseScenarioTest, HostBoundsAreAskedForAndStillBounded) {
    const std::string hostile = R"({"camera": null, "ball": ["nan", 0, 0]})";
    EXPECT_THROW(ParseScenario(hostile, "s.json"), InputError)
        << "non-finite values only in a file marked with host bounds";
    EXPECT_NO_THROW(
        ParseScenario(R"({"bounds": "host", "camera": null, "ball": ["nan", 0, 0]})", "s.json"));
    EXPECT_TRUE(std::isnan(
        StateAt(
            ParseScenario(R"({"camera": null, "ball": ["nan", 0, 0], "bounds": "host"})", "s.json"),
            1)
            .ball->location.X))
        << "the marker holds for the whole file wherever it stands";
    EXPECT_THROW(ParseScenario(R"({"bounds": "any", "camera": null, "ball": null})", "s.json"),
                 InputError);
    EXPECT_THROW(
        ParseScenario(R"({"bounds": "host", "camera": null, "ball": ["NaN", 0, 0]})", "s.json"),
        InputError)
        << "only the three texts the writer uses";
    EXPECT_THROW(
        ParseScenario(R"({"bounds": "host", "camera": null, "ball": [1e39, 0, 0]})", "s.json"),
        InputError)
        << "a finite number past the float range is no value the host can hold";

    sim::Host host;
    host.canvasSize = {70000, 10};
    EXPECT_THROW(PoseScenarioText(host), InputError) << "a canvas past even the host bound";
}

} // namespace
} // namespace sandbox
