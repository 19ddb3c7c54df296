// Ctrl-C, SIGTERM and SIGHUP stop a run cleanly, against the real program:
// it says it was interrupted and exits 128 + the signal; the output's
// temporary and the module's private copies are gone; what the user had
// before stays as it was.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "ProgramRun.h"

namespace sandboxtest {
namespace {

namespace fs = std::filesystem;

// What a run may leave in a folder: its output's temporaries, the private
// folders of module copies.
std::vector<std::string> Leftovers(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.find("quellmark-tmp") != std::string::npos ||
            name.starts_with("quellmark-modules-")) {
            names.push_back(name);
        }
    }
    return names;
}

TEST(InterruptionTest, ASignalStopsTheRunAndLeavesWhatWasThere) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        TempDir dir;
        const fs::path video = dir.Write("v.mp4", "the video the user had");
        RunningSandbox run({"render", "--no-config", "--frames", "100000", "--out", "v.mp4",
                            "--exec", "plugin reload"},
                           dir);
        ASSERT_TRUE(run.WaitForMessage("frame 1:")) << "the run never drew its first frame";
        run.Signal(signal);
        const RunningSandbox::Ended ended = run.Wait();
        EXPECT_EQ(ended.signal, 0) << "ended by the signal itself: " << ended.err;
        EXPECT_EQ(ended.status, 128 + signal) << ended.err;
        EXPECT_NE(ended.err.find("interrupted by SIG"), std::string::npos) << ended.err;
        EXPECT_EQ(ReadFile(video), "the video the user had");
        EXPECT_EQ(Leftovers(dir.Path()), std::vector<std::string>{}) << "beside the output";
        EXPECT_EQ(Leftovers(dir / "tmp"), std::vector<std::string>{}) << "the module's copies";
    }
}

TEST(InterruptionTest, AnInterruptedFolderRunLeavesTheLastRunsFrames) {
    TempDir dir;
    const RunResult first =
        RunSandbox({"render", "--no-config", "--frames", "3", "--out", (dir / "fr").string()}, dir);
    ASSERT_EQ(first.status, 0) << first.err;
    const std::string frame1 = ReadFile(dir / "fr" / "frame-0001.png");

    RunningSandbox run({"render", "--no-config", "--frames", "100000", "--out", "fr"}, dir);
    ASSERT_TRUE(run.WaitForMessage("frame 1:"));
    run.Signal(SIGTERM);
    const RunningSandbox::Ended ended = run.Wait();
    EXPECT_EQ(ended.status, 128 + SIGTERM) << ended.err;
    EXPECT_EQ(ReadFile(dir / "fr" / "frame-0001.png"), frame1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "fr"), fs::directory_iterator()), 3)
        << "the three frames, and no temporary of the stopped run";
}

TEST(InterruptionTest, AnInterruptedValidatorEndsTheRunningCheckAndStops) {
    TempDir dir;
    // A load-cycles check that would take minutes.
    RunningSandbox run({"validate", "--only", "load-cycles", "--cycles", "1000000"}, dir);
    ASSERT_TRUE(run.WaitForMessage("validating"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the check's child is running
    const auto signalled = std::chrono::steady_clock::now();
    run.Signal(SIGINT);
    const RunningSandbox::Ended ended = run.Wait();
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(3))
        << "it waited for the check, or for its own deadline, instead of stopping";
    EXPECT_EQ(ended.status, 128 + SIGINT) << ended.err;
    EXPECT_EQ(ended.out.find("PASS"), std::string::npos) << ended.out;
    EXPECT_EQ(Leftovers(dir / "tmp"), std::vector<std::string>{}) << "the module's copy";
}

} // namespace
} // namespace sandboxtest
