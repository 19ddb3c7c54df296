// The program's standard streams, closed or broken, against the real program:
// no output file takes a closed stream's place, and a reader that goes away
// or a full disk fails the run (status 1, said on stderr) instead of ending
// it with a signal or passing it as done.
#include <gtest/gtest.h>

#include "PngPixels.h"
#include "ProgramRun.h"

namespace sandboxtest {
namespace {

constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";

bool IsPng(const std::string& bytes) {
    return bytes.compare(0, 8, kPngSignature) == 0;
}

TEST(ProgramStreamsTest, AClosedStreamNeverBecomesAnOutput) {
    TempDir dir;
    // stderr closed: the run's notes went nowhere, not into the PNG.
    RunResult run = RunShell(R"("$S" render --no-config --out s.png 2>&-)", dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(IsPng(ReadFile(dir / "s.png"))) << ReadFile(dir / "s.png").substr(0, 40);

    // stdout closed: neither the notes nor the trace reach the PNG.
    run = RunShell(R"("$S" render --no-config --trace --out t.png >&-)", dir);
    EXPECT_TRUE(IsPng(ReadFile(dir / "t.png"))) << ReadFile(dir / "t.png").substr(0, 40);

    // stdin closed: a scenario read from it finds nothing, not the PNG's bytes.
    run = RunShell(R"("$S" render --no-config --scenario - --out u.png <&-)", dir);
    EXPECT_EQ(run.status, 2) << run.err;
}

TEST(ProgramStreamsTest, AReaderThatGoesAwayFailsTheRunWithoutASignal) {
    TempDir dir;
    // The reader closes its end first; the program writes a moment later.
    const char* const commands[] = {
        "render --no-config --out p.png", "scenario", "--version", "render -h", "validate --list",
    };
    for (const char* command : commands) {
        const RunResult run = RunShell(std::string(R"({ sleep 0.3; "$S" )") + command +
                                           R"(; echo $? >status; } | (exec 0<&-; sleep 0.6);
                                             cat status)",
                                       dir);
        EXPECT_EQ(run.out, "1\n") << command << " (141 is SIGPIPE's status)\n" << run.err;
        EXPECT_NE(run.err.find("cannot write standard output"), std::string::npos)
            << command << "\n"
            << run.err;
    }
    EXPECT_TRUE(IsPng(ReadFile(dir / "p.png"))) << "what was written is kept";
}

TEST(ProgramStreamsTest, AFullDiskFailsEveryCommandThatPrints) {
    TempDir dir;
    for (const char* command : {"--version", "render -h", "scenario", "-h"}) {
        const RunResult run =
            RunShell(std::string(R"("$S" )") + command + " >/dev/full; echo $? >&2", dir);
        EXPECT_NE(run.err.find("cannot write standard output"), std::string::npos)
            << command << "\n"
            << run.err;
        EXPECT_EQ(run.err.substr(run.err.size() - 2), "1\n") << command << "\n" << run.err;
    }
}

TEST(ProgramStreamsTest, DashWritesOneFrameToStandardOutputAlone) {
    TempDir dir;
    const RunResult run = RunSandbox({"render", "--no-config", "--out", "-"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_GT(run.out.size(), 8u);
    EXPECT_TRUE(IsPng(run.out)) << "stdout holds the PNG alone";
    EXPECT_EQ(run.out.substr(run.out.size() - 8), std::string("IEND\xae\x42\x60\x82", 8))
        << "stdout holds the PNG alone, and nothing after it";
    EXPECT_EQ(LoadPicture(dir.Write("copy.png", run.out)).width, 1280);
    EXPECT_FALSE(std::filesystem::exists(dir / "-"));

    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{"--frames", "3"}, {"--trace"}}) {
        std::vector<std::string> arguments = {"render", "--no-config", "--out", "-"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        const RunResult refused = RunSandbox(arguments, dir);
        EXPECT_EQ(refused.status, 2) << refused.err;
        EXPECT_NE(refused.err.find("standard output"), std::string::npos) << refused.err;
        EXPECT_TRUE(refused.out.empty());
    }
}

} // namespace
} // namespace sandboxtest
