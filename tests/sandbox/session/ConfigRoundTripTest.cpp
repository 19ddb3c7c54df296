// The host's config across runs of quellmark-sandbox: saved by writeconfig,
// loaded by the next run, and a broken file warned about and left alone.
#include <gtest/gtest.h>

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
        std::vector<std::string> arguments = {"render", "--trace", "--out",
                                              (dir / "out.png").string(), "--config", config};
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

} // namespace
} // namespace sandboxtest
