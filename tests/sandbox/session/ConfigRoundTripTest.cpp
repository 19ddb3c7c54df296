// The host's config across runs of quellmark-sandbox: saved by writeconfig,
// loaded by the next run, a broken file warned about and left alone, values
// of any bytes read back, a save that fails failing the run.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "ProgramRun.h"

namespace sandboxtest {
namespace {

// No cvars, so the saved config alone decides the flag.
const char* const kPlain = R"({"mode": "freeplay", "canvas": [640, 360],
 "camera": {"location": [0, -6000, 800], "rotation": [-2000, 16384, 0], "fov": 90},
 "ball": [0, 0, 93]})";

class SandboxConfigTest : public ::testing::Test {
protected:
    RunResult Render(const std::string& scenario, std::vector<std::string> extra) {
        std::vector<std::string> arguments = {
            "render",     "--trace",
            "--out",      (dir / "out.png").string(),
            "--scenario", dir.Write("scenario.json", scenario).string()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return RunSandbox(arguments, dir);
    }

    static std::size_t Lines(const RunResult& run) {
        return LinesStartingWith(run.out, "DrawLine").size();
    }

    // Expects `run` to have ended with `status`, saying every one of `mentioned`.
    static void Expect(const RunResult& run, int status,
                       std::initializer_list<std::string> mentioned) {
        EXPECT_EQ(run.status, status) << run.err;
        for (const std::string& text : mentioned) {
            EXPECT_NE(run.err.find(text), std::string::npos) << text << "\n" << run.err;
        }
    }

    TempDir dir;
};

TEST_F(SandboxConfigTest, AToggleSavedByWriteconfigSurvivesARestart) {
    const std::string config = (dir / "config.cfg").string();
    RunResult run = Render(kPlain, {"--config", config});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run), 0u) << "qm_enabled starts at its default, 0";

    run = Render(kPlain, {"--config", config, "--exec", "qm_enabled 1", "--exec", "writeconfig"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(ReadFile(config).find("qm_enabled \"1\""), std::string::npos) << ReadFile(config);

    run = Render(kPlain, {"--config", config});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run), 8u) << "the saved 1 should switch the overlay on at the next start";

    run = Render(kPlain, {"--config", config, "--exec", "qm_enabled 0; writeconfig"});
    ASSERT_EQ(run.status, 0) << run.err;
    run = Render(kPlain, {"--config", config});
    EXPECT_EQ(Lines(run), 0u) << "the saved 0 should keep it off:\n" << ReadFile(config);
}

TEST_F(SandboxConfigTest, DefaultConfigLivesInTheUsersConfigDirectory) {
    const RunResult run = Render(kPlain, {"--set", "qm_enabled=1", "--exec", "writeconfig"});
    ASSERT_EQ(run.status, 0) << run.err;
    // RunSandbox points XDG_CONFIG_HOME at config-home.
    const auto saved = dir / "config-home" / "quellmark" / "config.cfg";
    EXPECT_NE(ReadFile(saved).find("qm_enabled \"1\""), std::string::npos)
        << "nothing saved at " << saved;
}

TEST_F(SandboxConfigTest, BrokenConfigIsWarnedAboutByLineAndLeftUntouched) {
    const std::string broken = "qm_enabled \"1\"\nqm_enabled \"0\" trailing words\n";
    const auto config = dir.Write("broken.cfg", broken);
    const RunResult run = Render(
        kPlain, {"--config", config.string(), "--exec", "qm_enabled 1", "--exec", "writeconfig"});
    // The run goes on, but the save it was asked for did not happen: status 1.
    ASSERT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find(config.string() + ":2:"), std::string::npos)
        << "the warning should name the file and line 2:\n"
        << run.err;
    EXPECT_NE(run.err.find("not saving to '" + config.string()), std::string::npos)
        << "the refused save should be said:\n"
        << run.err;
    EXPECT_EQ(ReadFile(config), broken) << "a config that could not be read was rewritten";
}

TEST_F(SandboxConfigTest, BrokenConfigLeavesVariablesAtTheirDefaults) {
    const auto config = dir.Write("broken.cfg", "qm_enabled \"1\"\nqm_enabled\n");
    const RunResult run = Render(kPlain, {"--config", config.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run), 0u) << "line 1's value must not be taken from a broken file";
}

TEST_F(SandboxConfigTest, ScenarioOverridesConfigAndSetOverridesBoth) {
    const auto config = dir.Write("on.cfg", "qm_enabled \"1\"\n");
    std::string scenario = kPlain;
    scenario.insert(scenario.rfind('}'), R"(, "cvars": {"qm_enabled": "0"})");
    RunResult run = Render(scenario, {"--config", config.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run), 0u);
    run = Render(scenario, {"--config", config.string(), "--set", "qm_enabled=1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run), 8u);
}

TEST_F(SandboxConfigTest, EmbeddedDefaultShowsLinesUntilAFlipIsSaved) {
    const std::string config = (dir / "config.cfg").string();
    auto render = [&](std::vector<std::string> extra) {
        std::vector<std::string> arguments = {
            "render", "--trace", "--out", (dir / "out.png").string(), "--config", config};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return RunSandbox(arguments, dir);
    };
    RunResult run = render({});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_GT(Lines(run), 0u) << "with nothing saved the default switches the overlay on";

    run = render({"--exec", "qm_enabled 0; writeconfig"});
    ASSERT_EQ(run.status, 0) << run.err;
    run = render({});
    EXPECT_EQ(Lines(run), 0u) << "the saved flip must win over the default's own value";
}

TEST_F(SandboxConfigTest, ValuesWithLineBreaksReadBackAfterASave) {
    // Another plugin's variable, kept through this run's saves as it was.
    const auto config =
        dir.Write("config.cfg", "qm_enabled \"1\"\nother_plugin \"1\\n# x\\t\\\"y\\\"\\\\\"\n");
    const RunResult first = Render(kPlain, {"--config", config.string(), "--exec", "writeconfig"});
    ASSERT_EQ(first.status, 0) << first.err;
    const std::string saved = ReadFile(config);
    // The next run reads it without a complaint and saves the same again.
    const RunResult second = Render(kPlain, {"--config", config.string(), "--exec", "writeconfig"});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.err.find("warning"), std::string::npos) << second.err;
    EXPECT_EQ(ReadFile(config), saved);
    EXPECT_NE(saved.find("other_plugin \"1\\n# x\\t\\\"y\\\"\\\\\"\n"), std::string::npos) << saved;
}

#ifndef _WIN32
// A file refused for writing, a folder that is a file, a name too long: POSIX's.
TEST_F(SandboxConfigTest, AFailedSaveMakesTheRunExit1) {
    dir.Write("not-a-folder", "");
    Expect(Render(kPlain, {"--config", (dir / "not-a-folder" / "config.cfg").string(), "--exec",
                           "writeconfig"}),
           1, {"not-a-folder", "write failed"});
    const auto locked = dir.Write("locked.cfg", "qm_enabled \"0\"\n");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    Expect(Render(kPlain, {"--config", locked.string(), "--exec", "qm_enabled 1; writeconfig"}), 1,
           {"locked.cfg", "read-only"});
    EXPECT_EQ(ReadFile(locked), "qm_enabled \"0\"\n");
    Expect(Render(kPlain,
                  {"--config", (dir / std::string(300, 'n')).string(), "--exec", "writeconfig"}),
           1, {"File name too long"});
}
#endif

} // namespace
} // namespace sandboxtest
