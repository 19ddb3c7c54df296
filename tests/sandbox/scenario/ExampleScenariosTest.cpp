// The scenarios a user starts from: the examples shipped in examples/ and the
// embedded default that `quellmark-sandbox scenario` prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "PngPixels.h"
#include "ProgramRun.h"

namespace sandboxtest {
namespace {

TEST(SandboxExampleScenariosTest, EveryExampleRendersWithTheOverlayDrawn) {
    std::vector<std::filesystem::path> examples;
    for (const auto& entry : std::filesystem::directory_iterator(EXAMPLES_DIR)) {
        if (entry.path().extension() == ".json") {
            examples.push_back(entry.path());
        }
    }
    std::sort(examples.begin(), examples.end());
    ASSERT_GE(examples.size(), 3u) << "behind a goal, a replay on paths, training in the air";
    for (const auto& example : examples) {
        TempDir dir;
        const auto frames = dir / "frames";
        const RunResult run = RunSandbox({"render", "--no-config", "--scenario", example.string(),
                                          "--frames", "2", "--trace", "--out", frames.string()},
                                         dir);
        const std::string name = example.filename().string();
        ASSERT_EQ(run.status, 0) << name << "\n" << run.err;
        EXPECT_EQ(LinesStartingWith(run.out, "DrawLine").size(), 16u)
            << name << ": all eight lines in both frames";
        for (const char* file : {"frame-0001.png", "frame-0002.png"}) {
            const Picture picture = LoadPicture(frames / file);
            EXPECT_GT(picture.width, 0) << name << " " << file;
            EXPECT_GT(picture.RedPixels(), 100) << name << " " << file;
            EXPECT_GT(picture.GreenPixels(), 100) << name << " " << file;
        }
    }
}

TEST(SandboxExampleScenariosTest, ThePrintedDefaultIsTheOneUsedWithoutAScenario) {
    TempDir dir;
    const RunResult printed = RunSandbox({"scenario"}, dir);
    ASSERT_EQ(printed.status, 0) << printed.err;
    const auto file = dir.Write("default.json", printed.out);

    const std::vector<std::string> render = {
        "render", "--no-config", "--trace", "--frames", "3", "--out", (dir / "frames").string()};
    const RunResult embedded = RunSandbox(render, dir);
    std::vector<std::string> fromFile = render;
    fromFile.insert(fromFile.end(), {"--scenario", file.string()});
    const RunResult replayed = RunSandbox(fromFile, dir);
    ASSERT_EQ(embedded.status, 0) << embedded.err;
    ASSERT_EQ(replayed.status, 0) << replayed.err;
    EXPECT_FALSE(LinesStartingWith(embedded.out, "DrawLine").empty());
    EXPECT_EQ(replayed.out, embedded.out) << "the same calls, frame by frame";
}

} // namespace
} // namespace sandboxtest
