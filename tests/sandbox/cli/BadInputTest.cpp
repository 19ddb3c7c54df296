// Bad input to quellmark-sandbox: refused with status 2 and a message naming
// the file and field, and no output written or disturbed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "ProgramRun.h"

namespace sandboxtest {
namespace {

class SandboxBadInputTest : public ::testing::Test {
protected:
    // Runs render with `arguments` over an output file that already holds a
    // good picture, and checks it was refused without touching anything.
    void ExpectRefused(std::vector<std::string> arguments,
                       const std::vector<std::string>& mentioned) {
        const std::string previous = "an earlier good picture";
        const auto out = dir.Write("out.png", previous);
        arguments.insert(arguments.begin(), {"render", "--out", out.string()});
        const RunResult run = RunSandbox(arguments, dir);
        EXPECT_EQ(run.status, 2) << run.err;
        for (const std::string& text : mentioned) {
            EXPECT_NE(run.err.find(text), std::string::npos)
                << "the message should mention '" << text << "':\n"
                << run.err;
        }
        EXPECT_EQ(ReadFile(out), previous) << "the existing output was overwritten";
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "out.png" || name.find(".json") != std::string::npos)
                << "left behind: " << name;
        }
    }

    TempDir dir;
};

TEST_F(SandboxBadInputTest, MissingModuleFile) {
    ExpectRefused({"--module", (dir / "Nothing.so").string()},
                  {"--module", "Nothing.so", "does not exist"});
}

TEST_F(SandboxBadInputTest, ModuleWithoutDescriptor) {
    ExpectRefused({"--module", REFUSED_MODULE_DIR "/refused_no_descriptor" MODULE_SUFFIX},
                  {"refused_no_descriptor" MODULE_SUFFIX, "no descriptor"});
}

TEST_F(SandboxBadInputTest, ModuleOfAnotherInterfaceVersion) {
    ExpectRefused({"--module", REFUSED_MODULE_DIR "/refused_wrong_version" MODULE_SUFFIX},
                  {"refused_wrong_version" MODULE_SUFFIX, "interface version 94"});
}

TEST_F(SandboxBadInputTest, ModuleWithNullFactory) {
    ExpectRefused({"--module", REFUSED_MODULE_DIR "/refused_null_factory" MODULE_SUFFIX},
                  {"refused_null_factory" MODULE_SUFFIX, "has a null descriptor entry: factory"});
}

// The command line's refusals are CommandLineTest's; this one shows the
// program gives up on one before it touches anything.
TEST_F(SandboxBadInputTest, ARefusedCommandLineTouchesNothing) {
    ExpectRefused({"--out", (dir / "second.png").string()}, {"--out given 2 times"});
    ExpectRefused({"--frames", "many"}, {"--frames", "'many' is not a whole number"});
}

#if !defined(QUELLMARK_MP4_OUTPUT) || !defined(QUELLMARK_WEBP_OUTPUT)
// The program itself, built without an encoder: status 2, the reason, no file.
TEST_F(SandboxBadInputTest, OutputFormatWithoutEncoderInThisBuild) {
    const std::vector<std::pair<std::string, std::string>> missing = {
#ifndef QUELLMARK_MP4_OUTPUT
        {"movie.mp4", "no MP4 encoder (built without FFmpeg)"},
#endif
#ifndef QUELLMARK_WEBP_OUTPUT
        {"movie.webp", "no WebP encoder (built without libwebp)"},
#endif
    };
    for (const auto& [name, reason] : missing) {
        const RunResult run =
            RunSandbox({"render", "--frames", "3", "--out", (dir / name).string()}, dir);
        EXPECT_EQ(run.status, 2) << name << ": " << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir / name)) << name << " was written";
    }
}
#endif

TEST_F(SandboxBadInputTest, SeveralFramesIntoOnePngFile) {
    ExpectRefused({"--frames", "3"}, {"out.png", "folder"});
}

TEST_F(SandboxBadInputTest, WindowScriptItemsAfterTheLastFrame) {
    // Refused before any window is opened, so no display is needed.
    const RunResult run =
        RunSandbox({"window", "--frames", "5", "--script", "2 key W; 9 key Escape"}, dir);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("'9 key Escape': frame 9 comes after the last frame, 5"),
              std::string::npos)
        << run.err;
}

TEST_F(SandboxBadInputTest, AnUnknownCommandIsRefusedWithTheUsage) {
    const RunResult run = RunSandbox({"paint"}, dir);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("unknown command 'paint'"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("usage"), std::string::npos) << run.err;
}

} // namespace
} // namespace sandboxtest
