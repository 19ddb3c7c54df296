// quellmark-sandbox window on a display (Linux: a virtual X display): it starts, draws frames,
// takes a scripted click on the panel's checkbox (the overlay goes and the
// change is saved) and quits on a scripted key.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "PngPixels.h"
#include "ProgramRun.h"
#include "WindowDisplay.h"

namespace sandboxtest {
namespace {

constexpr int kSkipped = 77; // CTest's SKIP_RETURN_CODE for this test

const char* const kScene = R"({"mode": "freeplay", "canvas": [800, 600],
 "camera": {"location": [0, -6000, 800], "rotation": [-2000, 16384, 0], "fov": 90},
 "ball": [0, 0, 93], "cvars": {"qm_enabled": "1"}})";

TEST(SandboxWindowTest, ClickOnThePanelCheckboxTurnsTheOverlayOffAndEscapeQuits) {
    TempDir dir;
    const auto before = dir / "before.png";
    const auto after = dir / "after.png";
    const auto config = dir / "window.cfg";
    const std::string script = "3 screenshot " + before.string() +
                               "; 5 click panel; 9 screenshot " + after.string() +
                               "; 12 key Escape";
    const RunResult run =
        RunSandbox({"window", "--scenario", dir.Write("scene.json", kScene).string(), "--config",
                    config.string(), "--script", script, "--frames", "600"},
                   dir, OnADisplay());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("window closed after 12 frames"), std::string::npos)
        << "Escape at frame 12 should end the run there:\n"
        << run.out << run.err;
    EXPECT_NE(run.out.find("wrote screenshot " + after.string()), std::string::npos) << run.out;
    EXPECT_EQ(run.err.find("screenshot"), std::string::npos)
        << "screenshots are not the console's to say:\n"
        << run.err;

    const Picture first = LoadPicture(before);
    ASSERT_EQ(first.width, 800) << "no screenshot before the click";
    EXPECT_EQ(first.height, 600);
    EXPECT_GT(first.RedPixels(), 100) << "the overlay should show before the click";
    EXPECT_GT(first.GreenPixels(), 100);

    const Picture second = LoadPicture(after);
    ASSERT_EQ(second.width, 800) << "no screenshot after the click";
    EXPECT_EQ(second.RedPixels(), 0) << "unticking the checkbox should remove the overlay";
    EXPECT_EQ(second.GreenPixels(), 0);

    EXPECT_NE(ReadFile(config).find("qm_enabled \"0\""), std::string::npos)
        << "the panel's writeconfig should have saved the change:\n"
        << ReadFile(config);
}

// The calls of one section ("frame 5") of a trace, without its header and
// without getCvar: the settings panel asks for its variable in the first
// frame of a run only and keeps the handle.
std::string TraceSection(const std::string& trace, const std::string& header) {
    std::string section;
    for (const std::string& line : SectionLines(trace, header)) {
        if (!line.starts_with("getCvar ")) {
            section += line + "\n";
        }
    }
    return section;
}

TEST(SandboxWindowTest, APoseSavedFromTheConsoleRendersToTheSameTrace) {
    TempDir dir;
    const auto pose = dir / "pose.json";
    // The embedded default moves the ball every frame; the pose saved during
    // frame 6 is the one on screen, drawn in frame 5.
    const RunResult window = RunSandbox({"window", "--no-config", "--trace", "--frames", "8",
                                         "--script", "6 console savescenario " + pose.string()},
                                        dir, OnADisplay());
    ASSERT_EQ(window.status, 0) << window.err;
    EXPECT_NE(window.err.find("scenario saved to " + pose.string()), std::string::npos)
        << window.err;

    const RunResult render = RunSandbox({"render", "--no-config", "--trace", "--scenario",
                                         pose.string(), "--out", (dir / "pose.png").string()},
                                        dir);
    ASSERT_EQ(render.status, 0) << render.err << ReadFile(pose);
    const std::string drawn = TraceSection(window.out, "frame 5");
    EXPECT_NE(drawn.find("DrawLine"), std::string::npos) << window.out;
    EXPECT_EQ(TraceSection(render.out, "frame 1"), drawn) << "the saved pose:\n" << ReadFile(pose);
    EXPECT_NE(TraceSection(window.out, "frame 4"), drawn) << "the ball should have moved";
}

// The camera's location in a saved scenario file.
std::vector<float> CameraLocation(const std::filesystem::path& scenario) {
    const std::string text = ReadFile(scenario);
    const std::size_t at = text.find("\"location\": [");
    std::vector<float> location(3, 0.0f);
    if (at == std::string::npos || std::sscanf(text.c_str() + at, "\"location\": [%f, %f, %f]",
                                               &location[0], &location[1], &location[2]) != 3) {
        ADD_FAILURE() << "no camera location in:\n" << text;
    }
    return location;
}

TEST(SandboxWindowTest, AHeldKeyMovesTheCameraWhileHeldAPressedOneForAFrame) {
    TempDir dir;
    const std::string scene = dir.Write("scene.json", kScene).string();
    const auto held = dir / "held.json";
    const auto pressed = dir / "pressed.json";
    const RunResult run =
        RunSandbox({"window", "--no-config", "--scenario", scene, "--frames", "26", "--script",
                    "1 hold W 20; 24 console savescenario " + held.string()},
                   dir, OnADisplay());
    ASSERT_EQ(run.status, 0) << run.err;
    const RunResult once =
        RunSandbox({"window", "--no-config", "--scenario", scene, "--frames", "8", "--script",
                    "2 key W; 6 console savescenario " + pressed.string()},
                   dir, OnADisplay());
    ASSERT_EQ(once.status, 0) << once.err;

    // The camera looks along +Y (yaw 16384), so W moves it that way alone.
    const std::vector<float> moved = CameraLocation(held);
    EXPECT_GT(moved[1], -6000.0f + 100.0f) << "held for 20 frames, W moves the camera forward";
    EXPECT_NEAR(moved[0], 0.0f, 1.0f);
    const std::vector<float> nudged = CameraLocation(pressed);
    EXPECT_GT(nudged[1], -6000.0f) << "a key is held for one frame, as a person's press is";
    // One frame's move: 1500 units a second, a frame counted as at most 0.1 s.
    EXPECT_LE(nudged[1] + 6000.0f, 150.0f) << "one frame's move, not twenty";
}

TEST(SandboxWindowTest, EscapeWhileTypingLeavesTheConsoleNotTheProgram) {
    TempDir dir;
    const RunResult run = RunSandbox({"window", "--no-config", "--frames", "30", "--script",
                                      "2 click console; 6 hold Escape 2; 10 key Escape"},
                                     dir, OnADisplay());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("window closed after 10 frames"), std::string::npos)
        << "the first Escape (held, so Dear ImGui sees it) leaves the console line, the "
           "second quits:\n"
        << run.out;
}

TEST(SandboxWindowTest, TheConsoleRecallsLinesCompletesNamesAndHelps) {
    TempDir dir;
    // Up twice brings back the first line, Return runs it again; then Tab
    // finishes "qm_en" and Return prints the variable. Each key is pressed
    // once, as a person presses it.
    const std::string script = "2 console qm_enabled 0; 3 console qm_enabled 1; 4 click console;"
                               " 8 key Up; 11 key Up; 14 key Return; 18 type qm_en;"
                               " 20 key Tab; 23 key Return; 27 console help;"
                               " 28 console cvarlist";
    const RunResult run = RunSandbox(
        {"window", "--no-config", "--frames", "30", "--script", script}, dir, OnADisplay());
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> echoed = LinesStartingWith(run.err, "] ");
    EXPECT_EQ(echoed,
              (std::vector<std::string>{"] qm_enabled 0", "] qm_enabled 1", "] qm_enabled 0",
                                        "] qm_enabled ", "] help", "] cvarlist"}))
        << run.err;
    EXPECT_NE(run.err.find("qm_enabled = \"0\""), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("commands: cvarlist, help, plugin, savescenario, writeconfig"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("qm_enabled \"0\" (default \"0\") Plugin Enabled"), std::string::npos)
        << run.err;
}

TEST(SandboxWindowTest, AScriptQuitsOrSaysItIsOverAndItsFailuresFailTheRun) {
    TempDir dir;
    RunResult run = RunSandbox({"window", "--no-config", "--script", "3 quit"}, dir, OnADisplay());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("window closed after 3 frames"), std::string::npos) << run.out;

    // A screenshot and a saved pose that cannot be written (a read-only
    // file, a folder): said, the run goes on to its end, and ends with status 1.
    const auto locked = dir.Write("locked.png", "the user's picture");
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
    std::filesystem::create_directory(dir / "pose.json");
    run = RunSandbox({"window", "--no-config", "--frames", "12", "--script",
                      "2 screenshot " + locked.string() + "; 3 console savescenario " +
                          (dir / "pose.json").string() + "; 5 console help"},
                     dir, OnADisplay());
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("2 writes failed (screenshot: "), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(locked), "the user's picture");
    EXPECT_NE(run.out.find("window closed after 12 frames"), std::string::npos) << run.out;
    EXPECT_EQ(Occurrences(run.out, "script: its last item ran at frame 5"), 1u)
        << "said once, once the script is over:\n"
        << run.out;

    // A module the script asks for that is refused ends the run there: the
    // window would go on with a module nobody asked for.
    run = RunSandbox({"window", "--no-config", "--frames", "60", "--script",
                      "4 console plugin load " + (dir / "missing.so").string()},
                     dir, OnADisplay());
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("missing.so"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("window closed"), std::string::npos) << run.out;
}

TEST(SandboxWindowTest, AWindowLargerThanTheScreenIsScaledToFitIt) {
    TempDir dir;
    std::string scene = kScene;
    scene.replace(scene.find("[800, 600]"), 10, "[4000, 3000]");
    const auto shot = dir / "shot.png";
    const RunResult run =
        RunSandbox({"window", "--no-config", "--scenario", dir.Write("big.json", scene).string(),
                    "--frames", "3", "--script", "2 screenshot " + shot.string()},
                   dir, OnADisplay());
    ASSERT_EQ(run.status, 0) << run.err;
    const Picture picture = LoadPicture(shot);
    EXPECT_EQ(picture.width, 1280) << "the 1280x1024 screen's width";
    EXPECT_EQ(picture.height, 960) << "the canvas's 4:3 kept";
    EXPECT_GT(picture.RedPixels(), 100) << "the overlay drawn on the smaller canvas";
}

TEST(SandboxWindowTest, AHandleKeptPastItsFrameFailsTheRun) {
    TempDir dir;
    const RunResult run = RunSandbox({"window", "--no-config", "--frames", "4", "--module",
                                      FAULTY_MODULE_DIR "/faulty_handle" MODULE_SUFFIX},
                                     dir, OnADisplay());
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("handle leak: 4 CanvasWrapper handles made in frames 1 to 4"),
              std::string::npos)
        << run.err;
}

} // namespace
} // namespace sandboxtest

int main(int argc, char** argv) {
    std::string why;
    if (!sandboxtest::WindowRunner(why)) {
        std::printf("%s: window test skipped\n", why.c_str());
        return sandboxtest::kSkipped;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
