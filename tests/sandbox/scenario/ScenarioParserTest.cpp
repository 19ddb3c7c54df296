#include <gtest/gtest.h>

#include "ScenarioRefusal.h"
#include "base/InputError.h"
#include "scenario/DefaultScenario.h"
#include "scenario/ScenarioParser.h"

namespace sandbox {
namespace {

const char* const kExample = R"({"mode": "freeplay", "canvas": [1600, 900],
 "camera": {"location": [0, -6000, 800], "rotation": [-2000, 16384, 0], "fov": 90},
 "ball": [0, 0, 93], "cvars": {"qm_enabled": "1"}, "frames": 1})";

TEST(ScenarioParserTest, ExampleReadsExactlyAsWritten) {
    const Scenario scenario = ParseScenario(kExample, "s.json");
    EXPECT_EQ(scenario.mode, sim::GameMode::Freeplay);
    EXPECT_EQ(scenario.canvas, (Vector2{1600, 900}));
    EXPECT_EQ(scenario.frames, 1);
    ASSERT_TRUE(scenario.ball);
    EXPECT_EQ(scenario.ball->At(1), (Vector{0, 0, 93}));
    const FrameState state = StateAt(scenario, 1);
    ASSERT_TRUE(state.camera);
    EXPECT_EQ(state.camera->location, (Vector{0, -6000, 800}));
    EXPECT_EQ(state.camera->rotation, (Rotator{-2000, 16384, 0}));
    EXPECT_EQ(state.camera->fov, 90.0f);
    EXPECT_EQ(scenario.cvars,
              (std::vector<std::pair<std::string, std::string>>{{"qm_enabled", "1"}}));
}

TEST(ScenarioParserTest, NullCameraAndBallAreAbsent) {
    const Scenario scenario = ParseScenario(R"({"camera": null, "ball": null})", "s.json");
    EXPECT_FALSE(scenario.camera);
    EXPECT_FALSE(scenario.ball);
    const FrameState state = StateAt(scenario, 1);
    EXPECT_FALSE(state.camera);
    EXPECT_FALSE(state.ball);
}

TEST(ScenarioParserTest, EveryModeName) {
    const std::pair<const char*, sim::GameMode> modes[] = {
        {"freeplay", sim::GameMode::Freeplay},
        {"training", sim::GameMode::CustomTraining},
        {"replay", sim::GameMode::Replay},
        {"none", sim::GameMode::None}};
    for (const auto& [name, mode] : modes) {
        const std::string text =
            std::string(R"({"camera": null, "ball": null, "mode": ")") + name + "\"}";
        EXPECT_EQ(ParseScenario(text, "s.json").mode, mode) << name;
    }
}

TEST(ScenarioParserTest, RefusalsNameTheField) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({"ball": null})", "camera"},
        {R"({"camera": null, "ball": null, "mode": "arena"})", "mode: unknown mode \"arena\""},
        {R"({"camera": null, "ball": [0, 0]})", "ball: expected an array of 3 numbers, got [0,0]"},
        {"{\"camera\": null, \"ball\": null, \"mode\": [1, \"a b\",\n 3]}",
         "mode: expected a mode name, got [1,\"a b\",3]"},
        {R"({"camera": {"location": [0,0,0], "rotation": [0, 1.5, 0]}, "ball": null})",
         "camera.rotation[1]: expected a whole number"},
        {R"({"camera": {"location": [0,0,0], "rotation": [0,0,0], "fov": 0}, "ball": null})",
         "camera.fov"},
        {R"({"camera": {"follow": [0,0,0], "rotation": [0,0,0]}, "ball": null})", "camera.follow"},
        {R"({"camera": null, "ball": {"path": [[0,0,0], [1,0,0]]}})", "ball.speed"},
        {R"({"camera": null, "ball": {"path": [[0,0,0], [1,0,0]], "speed": 0}})",
         "ball.speed: must be greater than 0"},
        {R"({"camera": {"path": [[0,0,0]], "speed": 0, "rotation": [0,0,0]}, "ball": null})",
         "camera.speed: must be greater than 0"},
        {R"({"camera": {"location": [0,0,0], "rotation": [0,0,0], "fov": 180}, "ball": null})",
         "camera.fov: 180 is out of range"},
        {R"({"camera": null, "ball": null, "canvas": [0, 360]})", "canvas[0]: 0 is out of range"},
        {R"({"camera": null, "ball": [0, 0, 2e6]})", "ball[2]: 2000000.0 is out of range"},
        {R"({"camera": null, "ball": null, "frames": 0})", "frames"},
        {R"({"camera": null, "ball": null, "cvars": {"a b": "1"}})", "cvars.a b"},
        {R"({"camera": null, "ball": null, "extra": 1})", "extra: unknown field"},
        {R"({"camera": null, "ball": null, "cvar": {}})", "cvar: unknown field (expected one of"},
    };
    for (const auto& [text, expected] : cases) {
        const std::string message = Refusal(text);
        EXPECT_NE(message.find("s.json: "), std::string::npos) << text << " -> " << message;
        EXPECT_NE(message.find(expected), std::string::npos) << text << " -> " << message;
    }
}

TEST(ScenarioParserTest, SyntaxErrorsGiveLineColumnAndField) {
    EXPECT_EQ(
        Refusal("{\"camera\": null,\n \"ball\": [1, 2 3]}").rfind("s.json:2:16: ball[2]: ", 0), 0u)
        << Refusal("{\"camera\": null,\n \"ball\": [1, 2 3]}");
    EXPECT_EQ(Refusal("").rfind("s.json:1:1: ", 0), 0u) << Refusal("");
    const std::string canvas = Refusal("{\"mode\": \"freeplay\",\n \"canvas\": [640 360]}");
    EXPECT_EQ(canvas.rfind("s.json:2:", 0), 0u) << canvas;
    EXPECT_NE(canvas.find("canvas[1]"), std::string::npos) << canvas;
}

TEST(ScenarioParserTest, NumbersBeyondDoubleAreNotFinite) {
    const std::string message = Refusal("{\"camera\": null,\n \"ball\": [0, -1e999, 0]}");
    EXPECT_EQ(message.rfind("s.json:2:14: ball[1]: ", 0), 0u) << message;
    EXPECT_NE(message.find("finite"), std::string::npos) << message;
    const std::string camera = Refusal("{\"ball\": null,\n \"camera\": {\"location\": [0, -6000, "
                                       "1e999], \"rotation\": [0, 0, 0]}}");
    EXPECT_EQ(camera.rfind("s.json:2:", 0), 0u) << camera;
    EXPECT_NE(camera.find("camera.location[2]: '1e999' is not a finite number"), std::string::npos)
        << camera;
}

TEST(ScenarioParserTest, CvarValuesMayBeNumbersOrBools) {
    const Scenario scenario = ParseScenario(
        R"({"camera": null, "ball": null, "cvars": {"a": 1, "b": true, "c": "x y"}})", "s.json");
    EXPECT_EQ(scenario.cvars, (std::vector<std::pair<std::string, std::string>>{
                                  {"a", "1"}, {"b", "1"}, {"c", "x y"}}));
}

TEST(ScenarioParserTest, FollowingCameraLooksAtTheMovingBall) {
    const Scenario scenario = ParseScenario(
        R"({"camera": {"follow": [0, -1000, 0], "lookAt": "ball", "fov": 70},
            "ball": {"path": [[0, 0, 100], [1000, 0, 100]], "speed": 100}})",
        "s.json");
    const FrameState state = StateAt(scenario, 3);
    ASSERT_TRUE(state.ball && state.camera);
    EXPECT_EQ(state.ball->location, (Vector{200, 0, 100}));
    EXPECT_EQ(state.camera->location, (Vector{200, -1000, 100}));
    EXPECT_EQ(state.camera->rotation, (Rotator{0, 16384, 0})) << "looking along +Y at the ball";
    EXPECT_EQ(state.camera->fov, 70.0f);
}

TEST(ScenarioParserTest, EmbeddedDefaultSwitchesTheOverlayOnAndMoves) {
    const Scenario scenario = ParseScenario(DefaultScenarioText(), kDefaultScenarioName);
    EXPECT_EQ(scenario.mode, sim::GameMode::Freeplay);
    EXPECT_EQ(scenario.cvars,
              (std::vector<std::pair<std::string, std::string>>{{"qm_enabled", "1"}}));
    ASSERT_TRUE(scenario.ball && scenario.camera);
    EXPECT_NE(StateAt(scenario, 1).ball->location, StateAt(scenario, 30).ball->location);
}

TEST(LookRotationTest, TurnsTowardsTheTarget) {
    EXPECT_EQ(LookRotation({0, 0, 0}, {0, 10, 0}), (Rotator{0, 16384, 0}));
    EXPECT_EQ(LookRotation({0, 0, 0}, {-10, 0, 0}), (Rotator{0, 32768, 0}));
    EXPECT_EQ(LookRotation({0, 0, 10}, {10, 0, 0}), (Rotator{-8192, 0, 0})) << "45 degrees down";
    EXPECT_EQ(LookRotation({5, 5, 5}, {5, 5, 5}), (Rotator{})) << "no direction: no turn";
}

} // namespace
} // namespace sandbox
