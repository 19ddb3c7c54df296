// quellmark-sandbox window on a virtual X display: it starts, draws frames,
// takes a scripted click on the panel's checkbox (the overlay goes and the
// change is saved) and quits on a scripted key.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "PngPixels.h"
#include "ProgramRun.h"

namespace sandboxtest {
namespace {

constexpr int kSkipped = 77; // CTest's SKIP_RETURN_CODE for this test

bool XvfbRunAvailable() {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "");
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (!folder.empty() && ::access((folder + "/xvfb-run").c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

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
                   dir, {"xvfb-run", "--auto-servernum", "--server-args=-screen 0 1280x1024x24"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("window closed after 12 frames"), std::string::npos)
        << "Escape at frame 12 should end the run there:\n"
        << run.out << run.err;

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

} // namespace
} // namespace sandboxtest

int main(int argc, char** argv) {
    if (!sandboxtest::XvfbRunAvailable()) {
        std::puts("xvfb-run is not installed: window test skipped");
        return sandboxtest::kSkipped;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
