// `quellmark-sandbox validate` end to end: on the real module, on Waymark (a
// well-behaved plugin of another name) and on Waymark with one fault each,
// with checks that misbehave on purpose, and on bad command lines. The same
// verdicts on Linux and on Windows; only a crash's words differ (a signal
// there, an exception code here).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ProgramRun.h"
#include "files/PathText.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

using sandboxtest::LinesStartingWith;
using sandboxtest::RunResult;
using sandboxtest::RunSandbox;
using sandboxtest::TempDir;

const std::vector<std::string> kGenericChecks = {"descriptor", "lifecycle", "hooks",
                                                 "hostile-frames", "load-cycles"};
const std::vector<std::string> kQuellmarkChecks = {"registrations", "example-frame",
                                                   "overlay-frames", "settings-panel"};

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TEST_UNDER_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TEST_UNDER_ASAN 1
#endif

// How each platform words the causes the self-tests and faulty_crash end with.
struct Causes {
    const char* abort;
    const char* accessViolation;
    const char* illegalInstruction;
    const char* stackOverflow;
};
#if defined(_WIN32)
constexpr Causes kCauses = {"crashed: abort() (exit status 3)",
                            "crashed: exception 0xC0000005 (access violation)",
                            "crashed: exception 0xC000001D (illegal instruction)",
                            "crashed: exception 0xC00000FD (stack overflow)"};
#else
constexpr Causes kCauses = {
    "crashed: signal SIGABRT (Aborted)", "crashed: signal SIGSEGV (Segmentation fault)",
    "crashed: signal SIGILL (Illegal instruction)", "crashed: signal SIGSEGV (Segmentation fault)"};
#endif

// The memory limit a check's child runs under, as the self-test words it.
// Wine keeps a job's processes but none of its limits; AddressSanitizer's
// shadow takes terabytes of address space, so its children have no limit.
std::string ChildMemoryLimit() {
#if defined(_WIN32)
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const bool wine = ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    return wine ? "a job without a memory limit" : "a memory limit of 2048 MiB";
#elif defined(TEST_UNDER_ASAN)
    return "no memory limit";
#else
    return "a memory limit of 2048 MiB";
#endif
}

// The environment variable that lists the self-tests, set while it lives; the
// program run inherits it.
class SelfTestsListed {
public:
    SelfTestsListed() { Set("1"); }
    ~SelfTestsListed() { Set(""); }

private:
    static void Set(const char* value) {
#if defined(_WIN32)
        _putenv_s("QUELLMARK_VALIDATE_SELFTEST", value);
#else
        setenv("QUELLMARK_VALIDATE_SELFTEST", value, 1);
#endif
    }
};

RunResult Validate(std::vector<std::string> arguments) {
    TempDir home;
    arguments.insert(arguments.begin(), "validate");
    return RunSandbox(arguments, home);
}

std::string Module(const std::string& name) {
    return std::string(VALIDATE_MODULE_DIR) + "/" + name + MODULE_SUFFIX;
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

std::vector<std::string> Passes(const std::vector<std::string>& checks) {
    std::vector<std::string> lines;
    for (const std::string& check : checks) {
        lines.push_back("PASS " + check);
    }
    return lines;
}

TEST(ValidateCommandTest, QuellmarkPassesEveryCheckItsOwnIncluded) {
    const RunResult run = Validate({});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    std::vector<std::string> expected = Passes(kGenericChecks);
    for (const std::string& line : Passes(kQuellmarkChecks)) {
        expected.push_back(line);
    }
    expected.push_back("9 passed, 0 failed");
    EXPECT_EQ(Lines(run.out), expected) << run.err;
    EXPECT_NE(run.err.find("class name 'Quellmark': Quellmark's own checks run too"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("hostile-frames: 100000 frames"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("overlay-frames: 100000 frames"), std::string::npos) << run.err;
}

TEST(ValidateCommandTest, AWellBehavedPluginOfAnotherNamePassesEveryCheckForAnyPlugin) {
    const RunResult run = Validate({"--module", Module("waymark")});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    std::vector<std::string> expected = Passes(kGenericChecks);
    expected.push_back("5 passed, 0 failed");
    EXPECT_EQ(Lines(run.out), expected) << run.err;
    EXPECT_NE(run.err.find("class name 'Waymark': the checks for any plugin"), std::string::npos)
        << run.err;

    // Quellmark's own expectations run on request, and are not Waymark's.
    const RunResult asked =
        Validate({"--module", Module("waymark"), "--only", "registrations,settings-panel"});
    EXPECT_EQ(asked.status, 1);
    EXPECT_TRUE(VerdictOf(asked.out, "registrations").starts_with("FAIL registrations: "))
        << asked.out;
    EXPECT_EQ(VerdictOf(asked.out, "settings-panel"),
              "FAIL settings-panel: the panel is called \"Waymark\", expected \"Quellmark\"");
}

TEST(ValidateCommandTest, ListNamesEveryCheckWithItsGroupAndRunsNone) {
    const RunResult run = Validate({"--list"});
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<std::string> generic;
    std::vector<std::string> quellmark;
    for (const std::string& line : Lines(run.out)) {
        char name[64];
        char group[64];
        ASSERT_EQ(std::sscanf(line.c_str(), "%63s %63s", name, group), 2) << line;
        (std::string(group) == "generic" ? generic : quellmark).push_back(name);
        EXPECT_TRUE(std::string(group) == "generic" || std::string(group) == "quellmark") << line;
    }
    EXPECT_EQ(generic, kGenericChecks) << run.out;
    EXPECT_EQ(quellmark, kQuellmarkChecks) << run.out;
    EXPECT_TRUE(LinesStartingWith(run.out, "PASS").empty());
}

TEST(ValidateCommandTest, OnlyRunsTheNamedCheckWithTheGivenCyclesAndSeed) {
    const RunResult run = Validate({"--only", "load-cycles", "--cycles", "7", "--seed", "0x2a"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(Lines(run.out), (std::vector<std::string>{"PASS load-cycles", "1 passed, 0 failed"}));
    EXPECT_NE(run.err.find("seed 0x2a, 7 load cycles"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("load-cycles: 7 cycles"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("class name"), std::string::npos) << "named checks need no class name";
}

TEST(ValidateCommandTest, OnlyTakesSeveralChecksAsAListOrRepeated) {
    const std::vector<std::string> expected = {"PASS descriptor", "PASS example-frame",
                                               "2 passed, 0 failed"};
    const RunResult listed = Validate({"--only", "example-frame,descriptor"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(Lines(listed.out), expected) << "in the list's order, whatever the line's";
    const RunResult repeated = Validate({"--only", "descriptor", "--only", "example-frame"});
    EXPECT_EQ(repeated.status, 0) << repeated.err;
    EXPECT_EQ(Lines(repeated.out), expected);
}

TEST(ValidateCommandTest, MisbehavingChecksFailWithTheirCauseNamed) {
    const SelfTestsListed selfTests;
    const RunResult listed = Validate({"--list"});
    std::vector<std::pair<std::string, std::string>> cases = {
        {"selftest-abort", kCauses.abort},
        {"selftest-crash", kCauses.accessViolation},
        {"selftest-hang", "timed out after 2 s"},
        {"selftest-fail", "failing on purpose"},
        {"selftest-limits", "runs with " + ChildMemoryLimit()},
    };
#if !defined(TEST_UNDER_ASAN)
    // AddressSanitizer reports a stack overflow itself, and exits.
    cases.push_back({"selftest-stack", kCauses.stackOverflow});
#endif
    for (const auto& [check, cause] : cases) {
        EXPECT_NE(listed.out.find(check), std::string::npos) << "not listed: " << check;
        const RunResult run = Validate({"--only", check});
        EXPECT_EQ(run.status, 1) << check;
        EXPECT_EQ(Lines(run.out),
                  (std::vector<std::string>{"FAIL " + check + ": " + cause, "0 passed, 1 failed"}))
            << run.err;
    }
}

TEST(ValidateCommandTest, TheSelfTestsAreHiddenUnlessAskedFor) {
    EXPECT_EQ(Validate({"--list"}).out.find("selftest"), std::string::npos);
    EXPECT_EQ(Validate({"--only", "selftest-fail"}).status, 2);
}

// Each fault of Waymark's is caught by the checks every plugin must pass,
// naming it, and only by those the fault reaches.
TEST(ValidateCommandTest, EachFaultIsCaughtByTheGenericChecksNamingIt) {
    struct Fault {
        std::string module;
        std::vector<std::pair<std::string, std::string>> failures; // check, words in its reason
    };
    const std::vector<Fault> faults = {
        {"faulty_crash", {{"hostile-frames", kCauses.illegalInstruction}}},
        {"faulty_unclipped", {{"hostile-frames", "plane of the frame's frustum"}}},
#if defined(TEST_UNDER_ASAN)
        // LeakSanitizer finds the lost block as every check's child exits.
        {"faulty_leak",
         {{"descriptor", "a sanitizer"},
          {"lifecycle", "a sanitizer"},
          {"hooks", "a sanitizer"},
          {"hostile-frames", "a sanitizer"},
          {"load-cycles", "the heap grew by"}}},
#else
        {"faulty_leak", {{"load-cycles", "the heap grew by"}}},
#endif
        {"faulty_handle",
         {{"hooks", "the frame before the hooks left 1 handles alive"},
          {"hostile-frames", "1 handles made in the frame outlived it"}}},
        {"faulty_stray",
         {{"lifecycle", "1 host handles outlived the module"},
          {"hooks", "1 host handles outlived the module"},
          {"hostile-frames", "1 host handles outlived the module"},
          {"load-cycles", "1 host handles outlived an unloaded module"}}},
    };
    for (const Fault& fault : faults) {
        const RunResult run = Validate({"--module", Module(fault.module), "--cycles", "20"});
        EXPECT_EQ(run.status, 1) << fault.module;
        for (const std::string& check : kGenericChecks) {
            const auto failing =
                std::find_if(fault.failures.begin(), fault.failures.end(),
                             [&](const auto& failure) { return failure.first == check; });
            const std::string verdict = VerdictOf(run.out, check);
            if (failing == fault.failures.end()) {
                EXPECT_EQ(verdict, "PASS " + check) << fault.module << "\n" << run.out;
            } else {
                EXPECT_TRUE(verdict.starts_with("FAIL " + check + ": "))
                    << fault.module << ": " << verdict;
                EXPECT_NE(verdict.find(failing->second), std::string::npos)
                    << fault.module << ": " << verdict;
            }
        }
        EXPECT_EQ(Lines(run.out).back(),
                  std::to_string(kGenericChecks.size() - fault.failures.size()) + " passed, " +
                      std::to_string(fault.failures.size()) + " failed")
            << fault.module;
    }
}

TEST(ValidateCommandTest, BreachingFramesAreSavedAsScenariosThatRenderReplays) {
    TempDir out;
    const std::filesystem::path failures = out.Path() / "failures";
    const RunResult run = Validate({"--module", Module("faulty_unclipped"), "--only",
                                    "hostile-frames", "--failures", failures.string()});
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
        const RunResult replay = RunSandbox({"render", "--scenario", scenario.string(), "--module",
                                             Module("faulty_unclipped"), "--trace", "--no-config",
                                             "--out", (out.Path() / "replay.png").string()},
                                            home);
        EXPECT_NE(replay.status, 2) << scenario << ": " << replay.err;
        const std::size_t frame = replay.out.find("frame 1\n");
        ASSERT_NE(frame, std::string::npos) << scenario << ": " << replay.err;
        EXPECT_EQ(replay.out.substr(frame + 8, expected.size()), expected)
            << scenario << ": render's first frame begins with the calls the validator saw";
    }
}

TEST(ValidateCommandTest, PathsAreTakenAsUtf8) {
    TempDir dir;
    const std::filesystem::path folder = dir.Path() / u8"Pr\u00fcfung-\u03bb-\u6a21\u5757";
    const std::filesystem::path module =
        folder / (std::u8string(u8"Modul-\u00e9") + std::u8string(u8"" MODULE_SUFFIX));
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(Module("faulty_unclipped"), module);
    const RunResult run = Validate({"--module", files::PathText(module), "--only", "hostile-frames",
                                    "--failures", files::PathText(folder / u8"Fehler-\u00df")});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find(files::PathText(module)), std::string::npos) << run.err;
    const std::filesystem::path saved = folder / u8"Fehler-\u00df" / "hostile-frame-0.json";
    EXPECT_TRUE(std::filesystem::exists(saved)) << run.out;
    EXPECT_NE(VerdictOf(run.out, "hostile-frames").find("saved as " + files::PathText(saved)),
              std::string::npos)
        << run.out;
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
        {{"--only", "class-name"}, "no check is called 'class-name'"},
        {{"--module", "/nonexistent/Quellmark.so"},
         "--module: File does not exist: /nonexistent/Quellmark.so"},
        {{"--child-report", "1", "--only", "hooks,descriptor"},
         "--child-report runs exactly one check, named by --only"},
    };
    for (const auto& [arguments, reason] : cases) {
        const RunResult run = Validate(arguments);
        EXPECT_EQ(run.status, 2) << arguments.front();
        EXPECT_EQ(run.out, "") << "no verdicts for " << arguments.front();
        EXPECT_NE(run.err.find("quellmark-sandbox validate: " + reason), std::string::npos)
            << run.err;
    }
}

#if !defined(_WIN32)
// The child's side on its own, as the Windows build starts it for each check:
// its verdict, and nothing else, goes to the channel it is given (here
// standard output), and its exit status says pass or fail.
TEST(ValidateCommandTest, AChildReportsItsVerdictToTheChannelItIsGiven) {
    const RunResult failing =
        Validate({"--only", "example-frame", "--module", Module("waymark"), "--child-report", "1"});
    EXPECT_EQ(failing.status, 1) << failing.err;
    EXPECT_EQ(failing.out, "freeplay: 4 lines, expected 8");
    const RunResult probe =
        Validate({"--only", "class-name", "--module", Module("waymark"), "--child-report", "1"});
    EXPECT_EQ(probe.status, 0) << probe.err;
    EXPECT_EQ(probe.out, "Waymark");
}
#endif

} // namespace
