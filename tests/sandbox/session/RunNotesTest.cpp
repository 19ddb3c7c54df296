// What every run of quellmark-sandbox says on stderr so a blank overlay is
// never silent: the config it read (or that it read none) and the switch as
// the first frame is drawn. And a switch means the same typed on the command
// line as written in a scenario.
#include <gtest/gtest.h>

#include <filesystem>

#include "ProgramRun.h"

namespace sandboxtest {
namespace {

const char* const kScene = R"({"mode": "freeplay", "canvas": [640, 360],
 "camera": {"location": [0, -6000, 800], "rotation": [-2000, 16384, 0], "fov": 90},
 "ball": [0, 0, 93] CVARS})";

std::string SceneWith(const std::string& cvars) {
    std::string text = kScene;
    text.replace(text.find("CVARS"), 5, cvars.empty() ? "" : ", \"cvars\": {" + cvars + "}");
    return text;
}

class SandboxRunNotesTest : public ::testing::Test {
protected:
    RunResult Render(const std::string& scenario, std::vector<std::string> extra) {
        std::vector<std::string> arguments = {"render", "--trace", "--out",
                                              (dir / "out.png").string()};
        if (!scenario.empty()) {
            arguments.insert(arguments.end(),
                             {"--scenario", dir.Write("scene.json", scenario).string()});
        }
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return RunSandbox(arguments, dir);
    }

    // The config file RunSandbox's environment points the default at.
    std::filesystem::path UserConfig() const {
        return dir / "config-home" / "quellmark" / "config.cfg";
    }

    TempDir dir;
};

TEST_F(SandboxRunNotesTest, TrueAndFalseSwitchAlikeFromTheCommandLineAndAScenario) {
    struct Case {
        std::string cvars;
        std::vector<std::string> extra;
        bool on;
        std::string origin; // where the note says the value came from
    };
    const Case cases[] = {
        {R"("qm_enabled": true)", {}, true, "from the scenario"},
        {R"("qm_enabled": false)", {}, false, "from the scenario"},
        {"", {"--set", "qm_enabled=true"}, true, "from --set"},
        {"", {"--set", "qm_enabled=TRUE"}, true, "from --set"},
        {"", {"--set", "qm_enabled=false"}, false, "from --set"},
        {R"("qm_enabled": "true")", {}, true, "from the scenario"},
        {R"("qm_enabled": true)", {"--set", "qm_enabled=false"}, false, "from --set"},
        {R"("qm_enabled": false)", {"--exec", "qm_enabled true"}, true, "from the console"},
        {"", {}, false, "default"},
    };
    for (const Case& test : cases) {
        const RunResult run = Render(SceneWith(test.cvars), test.extra);
        const std::string what = test.cvars + (test.extra.empty() ? "" : " " + test.extra.back());
        ASSERT_EQ(run.status, 0) << what << "\n" << run.err;
        EXPECT_EQ(LinesStartingWith(run.out, "DrawLine").size(), test.on ? 8u : 0u) << what;
        const std::string note = (test.on ? "(on, " : "(off, ") + test.origin +
                                 (test.on ? "), 8 lines drawn" : "), 0 lines drawn");
        EXPECT_NE(run.err.find("frame 1: qm_enabled "), std::string::npos) << what << run.err;
        EXPECT_NE(run.err.find(note), std::string::npos) << what << "\n" << run.err;
    }
}

TEST_F(SandboxRunNotesTest, EachRunSaysWhichConfigItRead) {
    const auto absent = dir / "absent.cfg";
    RunResult run = Render(SceneWith(""), {"--config", absent.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("config: none; " + absent.string() + " does not exist yet"),
              std::string::npos)
        << run.err;

    const auto saved = dir.Write("saved.cfg", "qm_enabled \"1\"\n");
    run = Render(SceneWith(""), {"--config", saved.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("config: loaded " + saved.string() + " (1 variable)"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("frame 1: qm_enabled \"1\" (on, from the saved config)"),
              std::string::npos)
        << run.err;

    const auto broken = dir.Write("broken.cfg", "qm_enabled 1\n");
    run = Render(SceneWith(""), {"--config", broken.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("config: none; " + broken.string() + " was not usable"),
              std::string::npos)
        << run.err;
}

TEST_F(SandboxRunNotesTest, NoConfigReadsNoneAndSavesNone) {
    // The user's config switches the embedded default off ...
    std::filesystem::create_directories(UserConfig().parent_path());
    dir.Write("config-home/quellmark/config.cfg", "qm_enabled \"0\"\n");
    RunResult run = Render("", {});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("config: loaded " + UserConfig().string()), std::string::npos)
        << run.err;
    EXPECT_TRUE(LinesStartingWith(run.out, "DrawLine").empty());

    // ... and without it the default's own qm_enabled 1 stands; writeconfig
    // leaves the file alone.
    run = Render("", {"--no-config", "--exec", "writeconfig"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("config: none (--no-config)"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("writeconfig: nothing saved (--no-config)"), std::string::npos)
        << run.err;
    EXPECT_EQ(LinesStartingWith(run.out, "DrawLine").size(), 8u) << run.err;
    EXPECT_EQ(ReadFile(UserConfig()), "qm_enabled \"0\"\n");

    run = Render("", {"--no-config", "--config", (dir / "x.cfg").string()});
    EXPECT_EQ(run.status, 2) << "--no-config and --config contradict each other";
}

} // namespace
} // namespace sandboxtest
