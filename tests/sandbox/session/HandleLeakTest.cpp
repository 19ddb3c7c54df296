// A plugin that keeps host handles it must not is reported, by kind, and the
// run fails; --log-handles shows every handle made and destroyed.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "ProgramRun.h"

namespace sandboxtest {
namespace {

std::string Faulty(const std::string& fault) {
    return std::string(FAULTY_MODULE_DIR) + "/faulty_" + fault + MODULE_SUFFIX;
}

class SandboxHandleLeakTest : public ::testing::Test {
protected:
    RunResult Render(std::vector<std::string> extra) {
        std::vector<std::string> arguments = {
            "render", "--no-config", "--out", (dir / "frames").string(), "--frames", "3"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return RunSandbox(arguments, dir);
    }

    TempDir dir;
};

TEST_F(SandboxHandleLeakTest, TheRealPluginKeepsNoHandle) {
    const RunResult run = Render({});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("handle leak"), std::string::npos) << run.err;
}

TEST_F(SandboxHandleLeakTest, AHandleKeptPastItsFrameFailsTheRunNamingItsKind) {
    const RunResult run = Render({"--module", Faulty("handle")});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("handle leak: 3 CanvasWrapper handles made in frames 1 to 3 "
                           "outlived their frame"),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(std::filesystem::exists(dir / "frames" / "frame-0003.png"))
        << "the frames are still written";
}

TEST_F(SandboxHandleLeakTest, AHandleAliveAfterUnloadFailsTheRunNamingItsKind) {
    const RunResult run = Render({"--module", Faulty("stray")});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("handle leak: 1 CVarWrapper handle still alive after the plugin "
                           "was unloaded"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("outlived"), std::string::npos) << "no frame kept one:\n" << run.err;
}

// The +Kind and -Kind lines of one section, counted per line.
std::map<std::string, int> HandleLines(const std::string& log, const std::string& header) {
    std::map<std::string, int> counts;
    for (const std::string& line : SectionLines(log, header)) {
        if (line.starts_with("+") || line.starts_with("-")) {
            ++counts[line];
        }
    }
    return counts;
}

TEST_F(SandboxHandleLeakTest, LogHandlesPrintsEachHandleMadeAndDestroyed) {
    RunResult run = RunSandbox(
        {"render", "--no-config", "--log-handles", "--out", (dir / "one.png").string()}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::map<std::string, int> frame = HandleLines(run.out, "frame 1");
    EXPECT_GT(frame.count("+CanvasWrapper"), 0u) << run.out;
    for (const char* kind : {"CanvasWrapper", "CameraWrapper", "BallWrapper", "ServerWrapper"}) {
        const std::string made = std::string("+") + kind;
        const std::string destroyed = std::string("-") + kind;
        EXPECT_EQ(frame.count(made) ? frame.at(made) : 0,
                  frame.count(destroyed) ? frame.at(destroyed) : 0)
            << kind << ": every handle made in the frame is destroyed in it\n"
            << run.out;
    }
    EXPECT_EQ(run.out.find("DrawLine"), std::string::npos) << "handles alone, without --trace";
    EXPECT_NE(run.err.find("loaded Quellmark"), std::string::npos) << "stdout is the log's";

    run = RunSandbox(
        {"render", "--no-config", "--log-handles", "--trace", "--out", (dir / "one.png").string()},
        dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("DrawLine"), std::string::npos);
    EXPECT_NE(run.out.find("+CanvasWrapper"), std::string::npos);

    run =
        RunSandbox({"render", "--no-config", "--trace", "--out", (dir / "one.png").string()}, dir);
    EXPECT_EQ(run.out.find("+CanvasWrapper"), std::string::npos) << "not without --log-handles";
}

} // namespace
} // namespace sandboxtest
