// One rule for a variable however it is given (--set, a scenario's cvars, an
// --exec line): a name the plugin did not register is bad input, with the
// name it probably meant; a value a switch would misread is refused; a line
// the console could not carry out stops the run before any line runs. And
// values reach the terminal only as quoted text.
#include <gtest/gtest.h>

#include "ProgramRun.h"

namespace sandboxtest {
namespace {

const char* const kScene = R"({"mode": "freeplay", "canvas": [320, 180],
 "camera": {"location": [0, -6000, 800], "rotation": [-2000, 16384, 0], "fov": 90},
 "ball": [0, 0, 93], "cvars": {CVARS}})";

class GivenVariablesTest : public ::testing::Test {
protected:
    RunResult Render(const std::string& cvars, std::vector<std::string> extra) {
        std::string scene = kScene;
        scene.replace(scene.find("CVARS"), 5, cvars);
        std::vector<std::string> arguments = {"render",
                                              "--config",
                                              config.string(),
                                              "--out",
                                              (dir / "out.png").string(),
                                              "--scenario",
                                              dir.Write("scene.json", scene).string()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return RunSandbox(arguments, dir);
    }
    // Bad input: status 2, the message holding each of `said`, nothing
    // drawn or saved.
    void ExpectRefused(const RunResult& run, const std::vector<std::string>& said) {
        EXPECT_EQ(run.status, 2) << run.err;
        for (const std::string& part : said) {
            EXPECT_NE(run.err.find(part), std::string::npos) << part << "\n" << run.err;
        }
        EXPECT_FALSE(std::filesystem::exists(dir / "out.png")) << run.err;
        EXPECT_FALSE(std::filesystem::exists(config)) << "the config was saved:\n" << run.err;
    }

    TempDir dir;
    const std::filesystem::path config = dir / "config.cfg";
};

TEST_F(GivenVariablesTest, ANameNoPluginRegisteredIsRefusedWithTheNameMeant) {
    const std::string meant = "(did you mean qm_enabled?)";
    ExpectRefused(Render("", {"--set", "qm_enable=1", "--exec", "writeconfig"}),
                  {"--set qm_enable=1", "\"qm_enable\"", meant});
    ExpectRefused(Render(R"("qm_enable": "1")", {"--exec", "writeconfig"}),
                  {"scene.json: cvars.qm_enable", meant});
    ExpectRefused(Render("", {"--exec", "qm_enable 0; writeconfig"}),
                  {"--exec \"qm_enable 0; writeconfig\"", meant, "no --exec line was run"});
    // The first part unknown, a known one after it: neither runs; nor does
    // an earlier line.
    ExpectRefused(Render("", {"--exec", "nosuch; writeconfig"}), {"\"nosuch\""});
    ExpectRefused(Render("", {"--exec", "writeconfig", "--exec", "qm_enable 0"}), {meant});
#ifndef _WIN32
    // A window's script is held to the same (SDL's dummy driver, asked for
    // by name, needs no display).
    const RunResult window =
        RunSandbox({"window", "--frames", "3", "--config", config.string(), "--script",
                    "1 console writeconfig; 2 console qm_enable 0"},
                   dir, {"env", "SDL_VIDEODRIVER=dummy"});
    EXPECT_EQ(window.status, 2) << window.err;
    EXPECT_NE(window.err.find("frame 2"), std::string::npos) << window.err;
    EXPECT_NE(window.err.find(meant), std::string::npos) << window.err;
    EXPECT_FALSE(std::filesystem::exists(config)) << "saved before the slip was found";
#endif
    ExpectRefused(Render("", {"--exec", "qm_enabled 0;\"\";writeconfig"}),
                  {"an empty command name"});
    ExpectRefused(Render("", {"--exec", "plugin frob"}), {"usage: plugin unload"});
    ExpectRefused(Render("", {"--exec", "plugin load"}), {"usage: plugin unload"});
}

TEST_F(GivenVariablesTest, AValueASwitchWouldMisreadIsRefusedWhereverItIsGiven) {
    for (const char* value : {"on", "yes", "1abc"}) {
        const std::string quoted = "\"" + std::string(value) + "\" is not a switch value";
        ExpectRefused(Render("", {"--set", "qm_enabled=" + std::string(value)}), {quoted});
        ExpectRefused(Render(R"("qm_enabled": ")" + std::string(value) + "\"", {}),
                      {"cvars.qm_enabled", quoted});
        ExpectRefused(Render("", {"--exec", "qm_enabled " + std::string(value)}), {quoted});
    }
    // In a saved config the value is the file's: warned about, the default kept.
    dir.Write("config.cfg", "qm_enabled \"on\"\n");
    const RunResult run = Render("", {});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("warning: " + config.string() + ": qm_enabled: \"on\" is not a switch"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("frame 1: qm_enabled \"0\" (off, default)"), std::string::npos)
        << run.err;
}

TEST_F(GivenVariablesTest, AModuleAnExecLineAsksForThatIsRefusedEndsTheRun) {
    const RunResult run =
        Render(R"("qm_enabled": "1")", {"--exec", "plugin load " + (dir / "none.so").string()});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("none.so"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.png"))
        << "the picture would have come from the module nobody asked for";
}

TEST_F(GivenVariablesTest, ValuesReachTheTerminalOnlyAsQuotedText) {
    // Escapes that retitle the window and clear it, a forged line, a NUL: as
    // a switch's value it is refused, and the refusal shows it escaped.
    const RunResult run =
        Render(R"("qm_enabled": "1\u001b]0;title\u0007\u001b[2J\nforged: all good\u0000cut")",
               {"--exec", "cvarlist"});
    EXPECT_EQ(run.status, 2) << run.err;
    const std::string all = run.out + run.err;
    EXPECT_EQ(all.find('\x1b'), std::string::npos) << all;
    EXPECT_EQ(all.find('\a'), std::string::npos) << all;
    EXPECT_EQ(all.find("\nforged"), std::string::npos) << all;
    EXPECT_NE(all.find("\\x1b]0;title\\x07\\x1b[2J\\nforged: all good\\x00cut"), std::string::npos)
        << all;
}

} // namespace
} // namespace sandboxtest
