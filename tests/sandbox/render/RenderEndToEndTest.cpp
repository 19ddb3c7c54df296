// quellmark-sandbox render, run as a user runs it, on the real module.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "PngPixels.h"
#include "ProgramRun.h"
#include "sim/CameraView.h"

namespace sandboxtest {
namespace {

const char* const kExampleScenario = R"({"mode": "freeplay", "canvas": [1600, 900],
 "camera": {"location": [0, -6000, 800], "rotation": [-2000, 16384, 0], "fov": 90},
 "ball": [0, 0, 93], "cvars": {"qm_enabled": "1"}, "frames": 1})";

std::string ExampleWith(const std::string& from, const std::string& to) {
    std::string text = kExampleScenario;
    text.replace(text.find(from), from.size(), to);
    return text;
}

struct TraceLine {
    std::string operation;
    std::vector<double> numbers;
};

// The calls of one section ("frame 1") of a trace.
std::vector<TraceLine> Section(const std::string& trace, const std::string& header) {
    std::vector<TraceLine> calls;
    for (const std::string& line : SectionLines(trace, header)) {
        std::istringstream words(line);
        TraceLine call;
        words >> call.operation;
        double number = 0.0;
        while (words >> number) {
            call.numbers.push_back(number);
        }
        calls.push_back(call);
    }
    return calls;
}

class SandboxRenderTest : public ::testing::Test {
protected:
    RunResult Render(const std::string& scenario, std::vector<std::string> extra = {}) {
        std::vector<std::string> arguments = {"render", "--out", (dir / "out.png").string()};
        if (!scenario.empty()) {
            arguments.insert(arguments.end(),
                             {"--scenario", dir.Write("scenario.json", scenario).string()});
        }
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return RunSandbox(arguments, dir);
    }

    TempDir dir;
};

TEST_F(SandboxRenderTest, ExampleScenarioWritesACanvasSizedPngWithRedAndGreenLines) {
    const RunResult run = Render(kExampleScenario);
    ASSERT_EQ(run.status, 0) << run.err;
    const Picture picture = LoadPicture(dir / "out.png");
    EXPECT_EQ(picture.width, 1600);
    EXPECT_EQ(picture.height, 900);
    EXPECT_GT(picture.RedPixels(), 300) << "the four red lines should show";
    EXPECT_GT(picture.GreenPixels(), 300) << "the four green lines should show";
    EXPECT_NE(run.out.find("Quellmark"), std::string::npos) << "class name printed: " << run.out;
    EXPECT_NE(run.out.find((dir / "out.png").string()), std::string::npos)
        << "the PNG's path printed: " << run.out;
}

TEST_F(SandboxRenderTest, ExampleTraceHasFourRedThenFourGreenLinesOnTheCanvas) {
    const RunResult run = Render(kExampleScenario, {"--trace"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> colours;
    int lines = 0;
    std::string colour;
    for (const TraceLine& call : Section(run.out, "frame 1")) {
        if (call.operation == "SetColor") {
            std::ostringstream text;
            for (double n : call.numbers) {
                text << n << ' ';
            }
            colour = text.str();
        } else if (call.operation == "DrawLine") {
            ++lines;
            colours.push_back(colour);
            ASSERT_GE(call.numbers.size(), 4u);
            for (int end = 0; end < 2; ++end) {
                const double x = call.numbers[end * 2];
                const double y = call.numbers[end * 2 + 1];
                EXPECT_TRUE(x >= 0.0 && x <= 1600.0 && y >= 0.0 && y <= 900.0)
                    << "line " << lines << " end " << end << " at (" << x << ", " << y
                    << ") is off the 1600x900 canvas";
            }
        }
    }
    ASSERT_EQ(lines, 8) << run.out;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(colours[i], i < 4 ? "255 0 0 150 " : "0 255 0 150 ") << "colour of line " << i;
    }
}

TEST_F(SandboxRenderTest, VisibleRedLinesJoinTheProjectedTargetsToTheProjectedBall) {
    // The red targets and the ball are all in view here, so nothing is clipped
    // and each line must join the host's own projections of its two ends.
    const RunResult run = Render(kExampleScenario, {"--trace"});
    ASSERT_EQ(run.status, 0) << run.err;
    const sim::CameraView view({0, -6000, 800}, {-2000, 16384, 0}, 90.0f, {1600, 900});
    const Vector targets[4] = {
        {800, 5000, 0}, {-800, 5000, 0}, {800, 5000, 600}, {-800, 5000, 600}};
    const Vector2F ball = view.Project({0, 0, 93});
    int red = 0;
    for (const TraceLine& call : Section(run.out, "frame 1")) {
        if (call.operation != "DrawLine" || red >= 4) {
            continue;
        }
        const Vector2F target = view.Project(targets[red]);
        const double ends[2][2] = {{call.numbers[0], call.numbers[1]},
                                   {call.numbers[2], call.numbers[3]}};
        const bool targetFirst = std::hypot(ends[0][0] - target.X, ends[0][1] - target.Y) <
                                 std::hypot(ends[1][0] - target.X, ends[1][1] - target.Y);
        const double* t = ends[targetFirst ? 0 : 1];
        const double* b = ends[targetFirst ? 1 : 0];
        EXPECT_NEAR(t[0], target.X, 0.05) << "red line " << red;
        EXPECT_NEAR(t[1], target.Y, 0.05) << "red line " << red;
        EXPECT_NEAR(b[0], ball.X, 0.05) << "red line " << red;
        EXPECT_NEAR(b[1], ball.Y, 0.05) << "red line " << red;
        ++red;
    }
    EXPECT_EQ(red, 4);
}

TEST_F(SandboxRenderTest, FlagOffDrawsNoOverlay) {
    const RunResult run =
        Render(ExampleWith(R"("qm_enabled": "1")", R"("qm_enabled": "0")"), {"--trace"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(LinesStartingWith(run.out, "DrawLine").empty()) << run.out;
    const Picture picture = LoadPicture(dir / "out.png");
    ASSERT_EQ(picture.width, 1600);
    EXPECT_EQ(picture.RedPixels(), 0);
    EXPECT_EQ(picture.GreenPixels(), 0);
}

TEST_F(SandboxRenderTest, ModeNoneDrawsNoOverlay) {
    const RunResult run =
        Render(ExampleWith(R"("mode": "freeplay")", R"("mode": "none")"), {"--trace"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(LinesStartingWith(run.out, "DrawLine").empty()) << run.out;
    const Picture picture = LoadPicture(dir / "out.png");
    EXPECT_EQ(picture.RedPixels(), 0);
    EXPECT_EQ(picture.GreenPixels(), 0);
}

TEST_F(SandboxRenderTest, TrainingAndReplayDrawTheOverlayToo) {
    for (const char* mode : {"training", "replay"}) {
        const RunResult run =
            Render(ExampleWith(R"("mode": "freeplay")", std::string(R"("mode": ")") + mode + "\""),
                   {"--trace"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(LinesStartingWith(run.out, "DrawLine").size(), 8u) << "mode " << mode;
    }
}

TEST_F(SandboxRenderTest, AbsentBallOrCameraDrawsNoOverlay) {
    for (const auto& [from, to] :
         {std::pair<std::string, std::string>{R"("ball": [0, 0, 93])", R"("ball": null)"},
          {R"("camera": {"location": [0, -6000, 800], "rotation": )"
           R"([-2000, 16384, 0], "fov": 90})",
           R"("camera": null)"}}) {
        const RunResult run = Render(ExampleWith(from, to), {"--trace"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(LinesStartingWith(run.out, "DrawLine").empty()) << to << "\n" << run.out;
        EXPECT_EQ(LoadPicture(dir / "out.png").width, 1600) << to;
    }
}

TEST_F(SandboxRenderTest, SetOnTheCommandLineOverridesTheScenario) {
    const RunResult run = Render(kExampleScenario, {"--trace", "--set", "qm_enabled=0"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(LinesStartingWith(run.out, "DrawLine").empty()) << run.out;
}

TEST_F(SandboxRenderTest, SeveralFramesWriteNumberedPngsAndNumberedTraceSections) {
    const RunResult run =
        RunSandbox({"render", "--frames", "3", "--trace", "--out", (dir / "frames").string()}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> headers = LinesStartingWith(run.out, "frame ");
    EXPECT_EQ(headers, (std::vector<std::string>{"frame 1", "frame 2", "frame 3"}));
    EXPECT_EQ(run.out.rfind("load\n", 0), 0u) << "the load section comes first:\n" << run.out;
    for (const char* name : {"frame-0001.png", "frame-0002.png", "frame-0003.png"}) {
        const Picture picture = LoadPicture(dir / "frames" / name);
        EXPECT_EQ(picture.width, 1280) << name;
        EXPECT_EQ(picture.height, 720) << name;
    }
    // The default scenario moves the ball, so the lines move with it.
    auto drawn = [&](const std::string& header) {
        std::vector<std::vector<double>> lines;
        for (const TraceLine& call : Section(run.out, header)) {
            if (call.operation == "DrawLine") {
                lines.push_back(call.numbers);
            }
        }
        return lines;
    };
    EXPECT_FALSE(drawn("frame 1").empty());
    EXPECT_NE(drawn("frame 1"), drawn("frame 3")) << "the lines should move with the ball";
}

TEST_F(SandboxRenderTest, EmbeddedDefaultShowsTheOverlay) {
    const RunResult run = Render("");
    ASSERT_EQ(run.status, 0) << run.err;
    const Picture picture = LoadPicture(dir / "out.png");
    EXPECT_EQ(picture.width, 1280);
    EXPECT_GT(picture.RedPixels(), 100) << "the default scenario must switch the overlay on";
    EXPECT_GT(picture.GreenPixels(), 100);
}

TEST_F(SandboxRenderTest, TraceKeepsStdoutForTheTraceAlone) {
    const RunResult run = Render(kExampleScenario, {"--trace"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find("loaded "), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("loaded Quellmark"), std::string::npos) << run.err;
}

} // namespace
} // namespace sandboxtest
