// quellmark-sandbox window replacing its module while it runs, on a virtual
// X display: from the console (scripted), and by itself when the module's
// file is rebuilt. The pose stays, the overlay is drawn by the new module,
// and a refused file leaves the running module in place.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "PngPixels.h"
#include "ProgramRun.h"
#include "WindowDisplay.h"

namespace sandboxtest {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The ball moves, so a pose that was not kept shows as a different picture.
const char* const kMovingScene = R"({"mode": "freeplay", "canvas": [800, 600],
 "camera": {"location": [0, -6000, 800], "rotation": [-2000, 16384, 0], "fov": 90},
 "ball": {"path": [[-1500, 0, 93], [1500, 0, 93]], "speed": 40},
 "cvars": {"qm_enabled": "1"}})";

// The rows above the console window and the status line, which do change.
constexpr int kSceneRows = 400;

int DifferentPixels(const Picture& a, const Picture& b) {
    int different = 0;
    for (int y = 0; y < kSceneRows; ++y) {
        for (int x = 0; x < a.width; ++x) {
            const std::size_t at = (std::size_t(y) * a.width + x) * 3;
            different += a.rgb[at] != b.rgb[at] || a.rgb[at + 1] != b.rgb[at + 1] ||
                         a.rgb[at + 2] != b.rgb[at + 2];
        }
    }
    return different;
}

// Both pictures show the paused pose with the overlay drawn on it.
void ExpectSamePoseWithOverlay(const fs::path& before, const fs::path& after) {
    const Picture first = LoadPicture(before);
    const Picture second = LoadPicture(after);
    ASSERT_EQ(first.width, 800) << before;
    ASSERT_EQ(second.width, 800) << after;
    EXPECT_GT(second.RedPixels(), 100) << "the overlay should still be drawn: " << after;
    EXPECT_GT(second.GreenPixels(), 100) << after;
    EXPECT_EQ(DifferentPixels(first, second), 0)
        << "the camera, ball and overlay should be where they were: " << before << " vs " << after;
}

// Waits for `file` while the window runs.
bool AppearsWithin(const fs::path& file, std::chrono::seconds limit,
                   const std::atomic<bool>& windowClosed) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!fs::exists(file)) {
        if (std::chrono::steady_clock::now() > end || windowClosed) {
            return fs::exists(file);
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

TEST(SandboxWindowReloadTest, ConsolePluginReloadKeepsThePoseAndTheOverlay) {
    TempDir dir;
    const std::string script = "3 key P; 6 screenshot " + (dir / "before.png").string() +
                               "; 9 console plugin reload; 14 screenshot " +
                               (dir / "after.png").string() + "; 16 key Escape";
    const RunResult run =
        RunSandbox({"window", "--scenario", dir.Write("scene.json", kMovingScene).string(),
                    "--script", script, "--frames", "600"},
                   dir, OnADisplay());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Occurrences(run.err, "loaded Quellmark"), 1u)
        << "the console reports the reloaded module:\n"
        << run.err;
    ExpectSamePoseWithOverlay(dir / "before.png", dir / "after.png");
}

TEST(SandboxWindowReloadTest, ARebuiltModuleIsReloadedByItselfAndARefusedOneIsKeptOut) {
    TempDir dir;
    const fs::path module = dir / ("Quellmark" MODULE_SUFFIX);
    fs::copy_file(QUELLMARK_MODULE_PATH, module);
    const fs::path before = dir / "before.png";
    const fs::path refused = dir / "refused.png";
    const fs::path after = dir / "after.png";
    const std::string script = "3 key P; 5 screenshot " + before.string() + "; 150 screenshot " +
                               refused.string() + "; 300 screenshot " + after.string() +
                               "; 301 key Escape";
    RunResult run;
    std::atomic<bool> closed{false};
    std::thread window([&] {
        run = RunSandbox({"window", "--scenario", dir.Write("scene.json", kMovingScene).string(),
                          "--module", module.string(), "--script", script, "--frames", "2000"},
                         dir, OnADisplay());
        closed = true;
    });
    // Each rebuild lands well before the next screenshot: the window draws at
    // most 60 frames a second and the reload waits a quarter of a second.
    const bool started = AppearsWithin(before, 60s, closed);
    if (started) {
        ReplaceAsABuildDoes(module,
                            fs::path(REFUSED_MODULE_DIR) / "refused_wrong_version" MODULE_SUFFIX);
    }
    const bool halfway = started && AppearsWithin(refused, 60s, closed);
    if (halfway) {
        ReplaceAsABuildDoes(module, QUELLMARK_MODULE_PATH);
    }
    window.join();
    ASSERT_TRUE(started && halfway) << run.err;
    ASSERT_EQ(run.status, 0) << run.err;

    EXPECT_EQ(Occurrences(run.err, "the module file changed: reloading " + module.string()), 2u)
        << run.err;
    EXPECT_NE(run.err.find("refused: '" + module.string() + "' has plugin interface version 94"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("the running module is kept"), std::string::npos) << run.err;
    EXPECT_EQ(Occurrences(run.err, "loaded Quellmark"), 1u) << "the good rebuild is loaded\n"
                                                            << run.err;
    ExpectSamePoseWithOverlay(before, refused);
    ExpectSamePoseWithOverlay(before, after);
}

} // namespace
} // namespace sandboxtest
