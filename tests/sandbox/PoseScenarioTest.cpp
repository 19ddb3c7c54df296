// A pose written as a scenario and read back: the same game, to the bit.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "InputError.h"
#include "PoseScenario.h"
#include "ScenarioParser.h"

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

TEST(PoseScenarioTest, APoseNoScenarioCanHoldIsRefusedWhenSaved) {
    sim::Host host;
    host.ball = sim::Actor{{0.0f, 2.0e6f, 93.0f}, {}, 0.0f};
    EXPECT_THROW(PoseScenarioText(host), InputError) << "a ball past the coordinate bound";
}

} // namespace
} // namespace sandbox
