// `quellmark-sandbox validate` end to end: on the real module, on modules with
// one fault each, with checks that misbehave on purpose, and on bad command
// lines.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ProgramRun.h"

namespace {

using sandboxtest::LinesStartingWith;
using sandboxtest::RunResult;
using sandboxtest::RunSandbox;
using sandboxtest::TempDir;

const std::vector<std::string> kChecks = {"descriptor",     "lifecycle",     "registrations",
                                          "hooks",          "example-frame", "hostile-frames",
                                          "settings-panel", "load-cycles"};

RunResult Validate(std::vector<std::string> arguments,
                   const std::vector<std::string>& environment = {}) {
    TempDir home;
    arguments.insert(arguments.begin(), "validate");
    std::vector<std::string> wrapper;
    if (!environment.empty()) {
        wrapper.push_back("env");
        wrapper.insert(wrapper.end(), environment.begin(), environment.end());
    }
    return RunSandbox(arguments, home, wrapper);
}

std::string Faulty(const std::string& fault) {
    return std::string(FAULTY_MODULE_DIR) + "/faulty_" + fault + ".so";
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

// The verdict line of one check, or "" when it has none.
std::string VerdictOf(const std::string& out, const std::string& check) {
    for (const std::string& line : Lines(out)) {
        if (line == "PASS " + check || line.starts_with("FAIL " + check + ":")) {
            return line;
        }
    }
    return "";
}

TEST(ValidateCommandTest, EveryCheckPassesOnTheRealModule) {
    const RunResult run = Validate({});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    std::vector<std::string> expected;
    for (const std::string& check : kChecks) {
        expected.push_back("PASS " + check);
    }
    expected.push_back("8 passed, 0 failed");
    EXPECT_EQ(Lines(run.out), expected) << run.err;
    EXPECT_NE(run.err.find("hostile-frames: 100000 frames"), std::string::npos) << run.err;
}

TEST(ValidateCommandTest, ListNamesEveryCheckAndRunsNone) {
    const RunResult run = Validate({"--list"});
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> names;
    for (const std::string& line : Lines(run.out)) {
        names.push_back(line.substr(0, line.find(' ')));
    }
    EXPECT_EQ(names, kChecks) << run.out;
    EXPECT_TRUE(LinesStartingWith(run.out, "PASS").empty());
}

TEST(ValidateCommandTest, OnlyRunsTheNamedCheckWithTheGivenCyclesAndSeed) {
    const RunResult run = Validate({"--only", "load-cycles", "--cycles", "7", "--seed", "0x2a"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(Lines(run.out), (std::vector<std::string>{"PASS load-cycles", "1 passed, 0 failed"}));
    EXPECT_NE(run.err.find("seed 0x2a, 7 load cycles"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("load-cycles: 7 cycles"), std::string::npos) << run.err;
}

TEST(ValidateCommandTest, OnlyTakesSeveralChecksAsAListOrRepeated) {
    const std::vector<std::string> expected = {"PASS descriptor", "PASS hooks",
                                               "2 passed, 0 failed"};
    const RunResult listed = Validate({"--only", "hooks,descriptor"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(Lines(listed.out), expected) << "in the list's order, whatever the line's";
    const RunResult repeated = Validate({"--only", "descriptor", "--only", "hooks"});
    EXPECT_EQ(repeated.status, 0) << repeated.err;
    EXPECT_EQ(Lines(repeated.out), expected);
}

TEST(ValidateCommandTest, MisbehavingChecksFailWithTheirCauseNamed) {
    const RunResult run = Validate({"--only", "selftest-abort"}, {"QUELLMARK_VALIDATE_SELFTEST=1"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(VerdictOf(run.out, "selftest-abort"),
              "FAIL selftest-abort: crashed: signal SIGABRT (Aborted)");

    const RunResult all = Validate({"--list"}, {"QUELLMARK_VALIDATE_SELFTEST=1"});
    for (const std::string check : {"selftest-crash", "selftest-hang", "selftest-fail"}) {
        EXPECT_NE(all.out.find(check), std::string::npos) << "not listed: " << check;
        const RunResult one = Validate({"--only", check}, {"QUELLMARK_VALIDATE_SELFTEST=1"});
        EXPECT_EQ(one.status, 1) << check;
        EXPECT_EQ(Lines(one.out).back(), "0 passed, 1 failed") << one.out;
    }
    EXPECT_EQ(
        VerdictOf(Validate({"--only", "selftest-crash"}, {"QUELLMARK_VALIDATE_SELFTEST=1"}).out,
                  "selftest-crash"),
        "FAIL selftest-crash: crashed: signal SIGSEGV (Segmentation fault)");
    EXPECT_EQ(
        VerdictOf(Validate({"--only", "selftest-hang"}, {"QUELLMARK_VALIDATE_SELFTEST=1"}).out,
                  "selftest-hang"),
        "FAIL selftest-hang: timed out after 2 s");
    EXPECT_EQ(
        VerdictOf(Validate({"--only", "selftest-fail"}, {"QUELLMARK_VALIDATE_SELFTEST=1"}).out,
                  "selftest-fail"),
        "FAIL selftest-fail: failing on purpose");
    EXPECT_EQ(Validate({"--list"}).out.find("selftest"), std::string::npos)
        << "the self-tests are hidden unless asked for";
}

TEST(ValidateCommandTest, ACrashingCheckFailsAndTheChecksAfterItStillRun) {
    const RunResult run = Validate({"--module", Faulty("crash")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(VerdictOf(run.out, "hostile-frames"),
              "FAIL hostile-frames: crashed: signal SIGILL (Illegal instruction)")
        << run.out;
    EXPECT_NE(VerdictOf(run.out, "settings-panel"), "") << run.out;
    EXPECT_NE(VerdictOf(run.out, "load-cycles"), "") << run.out;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_FALSE(lines.empty());
    int passed = -1;
    int failed = -1;
    ASSERT_EQ(std::sscanf(lines.back().c_str(), "%d passed, %d failed", &passed, &failed), 2)
        << lines.back();
    EXPECT_EQ(passed + failed, 8) << "every check has a verdict";
}

TEST(ValidateCommandTest, UnclippedDrawingFailsTheHostileFrames) {
    const RunResult run = Validate({"--module", Faulty("unclipped"), "--only", "hostile-frames"});
    EXPECT_EQ(run.status, 1);
    const std::string verdict = VerdictOf(run.out, "hostile-frames");
    EXPECT_TRUE(verdict.starts_with("FAIL hostile-frames: ")) << run.out;
    EXPECT_NE(verdict.find("frames from seed"), std::string::npos) << verdict;
}

TEST(ValidateCommandTest, BreachingFramesAreSavedAsScenariosThatRenderReplays) {
    TempDir out;
    const std::filesystem::path failures = out.Path() / "failures";
    const RunResult run = Validate({"--module", Faulty("unclipped"), "--only", "hostile-frames",
                                    "--failures", failures.string()});
    ASSERT_EQ(run.status, 1) << run.out;
    std::vector<std::filesystem::path> saved;
    for (const auto& entry : std::filesystem::directory_iterator(failures)) {
        if (entry.path().extension() == ".json") {
            saved.push_back(entry.path());
        }
    }
    ASSERT_FALSE(saved.empty()) << run.err;
    EXPECT_LE(saved.size(), 100u) << "at most a hundred breaches are saved";
    std::sort(saved.begin(), saved.end());
    saved.resize(std::min<std::size_t>(saved.size(), 4));
    for (const std::filesystem::path& scenario : saved) {
        std::filesystem::path calls = scenario;
        calls.replace_extension(".calls");
        const std::string expected = sandboxtest::ReadFile(calls);
        ASSERT_FALSE(expected.empty()) << calls;
        TempDir home;
        const RunResult replay =
            RunSandbox({"render", "--scenario", scenario.string(), "--module", Faulty("unclipped"),
                        "--trace", "--no-config", "--out", (out.Path() / "replay.png").string()},
                       home);
        EXPECT_NE(replay.status, 2) << scenario << ": " << replay.err;
        const std::size_t frame = replay.out.find("frame 1\n");
        ASSERT_NE(frame, std::string::npos) << scenario << ": " << replay.err;
        EXPECT_EQ(replay.out.substr(frame + 8, expected.size()), expected)
            << scenario << ": render's first frame begins with the calls the validator saw";
    }
}

TEST(ValidateCommandTest, AModuleThatLeaksOnLoadFailsTheLoadCycles) {
    const RunResult run =
        Validate({"--module", Faulty("leak"), "--only", "load-cycles", "--cycles", "20"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(VerdictOf(run.out, "load-cycles").starts_with("FAIL load-cycles: the heap grew by"))
        << run.out << run.err;
}

TEST(ValidateCommandTest, AHandleKeptPastItsFrameFailsTheFrameChecks) {
    const RunResult run = Validate({"--module", Faulty("handle")});
    EXPECT_EQ(run.status, 1);
    for (const std::string check : {"example-frame", "hostile-frames"}) {
        const std::string verdict = VerdictOf(run.out, check);
        EXPECT_TRUE(verdict.starts_with("FAIL " + check + ":")) << run.out;
        EXPECT_NE(verdict.find("handles made in the frame outlived it"), std::string::npos)
            << verdict;
    }
}

TEST(ValidateCommandTest, AFileThatIsNoPluginFailsWithTheLoadersReason) {
    const RunResult run = Validate({"--module", PLUGINSDK_LIBRARY, "--only", "descriptor"});
    EXPECT_EQ(run.status, 1);
    const std::string verdict = VerdictOf(run.out, "descriptor");
    EXPECT_TRUE(verdict.starts_with("FAIL descriptor: the module was refused:")) << run.out;
    EXPECT_NE(verdict.find("no descriptor"), std::string::npos) << verdict;
}

TEST(ValidateCommandTest, BadCommandLinesExitWith2AndSayWhy) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"--cycles", "0"}, "--cycles: Value 0 not in range 1 to 1000000"},
        {{"--seed"}, "--seed needs a value"},
        {{"--only", "nosuch"}, "no check is called 'nosuch'"},
        {{"--only", "hooks,nosuch"}, "no check is called 'nosuch'"},
        {{"--module", "/nonexistent/Quellmark.so"},
         "--module: File does not exist: /nonexistent/Quellmark.so"},
    };
    for (const auto& [arguments, reason] : cases) {
        const RunResult run = Validate(arguments);
        EXPECT_EQ(run.status, 2) << arguments.front();
        EXPECT_EQ(run.out, "") << "no verdicts for " << arguments.front();
        EXPECT_NE(run.err.find("quellmark-sandbox validate: " + reason), std::string::npos)
            << run.err;
    }
}

} // namespace
