// The host's `plugin` console commands in a session: unload, load, reload,
// each carried out between frames, with the game and the console's values
// kept, and a refused replacement leaving the running module in place.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ProgramRun.h"
#include "scenario/ScenarioParser.h"
#include "session/Session.h"

namespace sandbox {
namespace {

namespace fs = std::filesystem;
using sandboxtest::TempDir;

const char* const kScene = R"({"mode": "freeplay", "canvas": [1600, 900],
 "camera": {"location": [0, -6000, 800], "rotation": [-2000, 16384, 0], "fov": 90},
 "ball": [0, 0, 93], "cvars": {"qm_enabled": "1"}})";

class PluginReloadTest : public ::testing::Test {
protected:
    // A session on the real module, loaded from `module` (a copy of it by
    // default, so the test may replace the file).
    std::unique_ptr<Session> Start(const fs::path& module) {
        SessionOptions options;
        options.modulePath = module.string();
        options.configPath = "";
        auto session =
            std::make_unique<Session>(ParseScenario(kScene, "scene.json"), options, silent, stderr);
        // The game the frames run on, as a frame of the host hands it over.
        const FrameState game = StateAt(session->GetScenario(), 1);
        session->Host().ball = game.ball;
        session->Host().camera = game.camera;
        return session;
    }
    static std::string Console(Session& session, const std::string& line) {
        sim::Console& console = session.Host().console;
        const std::size_t before = console.output.size();
        console.Execute(line);
        session.RunGameFrame();
        std::string said;
        for (std::size_t i = before; i < console.output.size(); ++i) {
            said += console.output[i] + "\n";
        }
        return said;
    }

    TempDir dir;
    TraceWriter silent{nullptr, false};
    const fs::path original = QUELLMARK_MODULE_PATH;
    const fs::path refused = fs::path(REFUSED_MODULE_DIR) / ("refused_wrong_version" MODULE_SUFFIX);
};

TEST_F(PluginReloadTest, ReloadKeepsTheGameAndTheConsolesCurrentValue) {
    const auto session = Start(original);
    sim::Host& host = session->Host();
    session->RunGameFrame();
    ASSERT_EQ(host.lines.size(), 8u);

    host.console.Execute("qm_enabled 0");
    const sim::Actor camera = *host.camera;
    const std::string said = Console(*session, "plugin reload");
    EXPECT_NE(said.find("loaded Quellmark"), std::string::npos) << said;
    EXPECT_NE(said.find(original.string()), std::string::npos) << "names the file: " << said;
    EXPECT_EQ(host.console.Find("qm_enabled")->value, "0")
        << "the new module's variable takes the console's value, not its default";
    EXPECT_TRUE(host.lines.empty()) << "the new plugin follows the kept value";
    EXPECT_EQ(host.mode, sim::GameMode::Freeplay);
    EXPECT_EQ(host.camera->location, camera.location);
    EXPECT_TRUE(host.ball.has_value());

    host.console.Execute("qm_enabled 1");
    session->RunGameFrame();
    EXPECT_EQ(host.lines.size(), 8u) << "the new module's plugin is bound to the variable";
    EXPECT_EQ(host.HookedFunctions().size(), 5u) << "hooks registered once, by the new plugin";
    EXPECT_EQ(host.DrawableCount(), 1u);
}

TEST_F(PluginReloadTest, UnloadLeavesNothingOfThePluginAndLoadBringsItBack) {
    const auto session = Start(original);
    sim::Host& host = session->Host();
    const long handlesWithPlugin = host.LiveHandles();
    EXPECT_NE(Console(*session, "plugin unload").find("unloaded Quellmark"), std::string::npos);
    EXPECT_TRUE(host.lines.empty());
    EXPECT_EQ(host.DrawableCount(), 0u);
    EXPECT_TRUE(host.HookedFunctions().empty());
    EXPECT_EQ(host.LiveHandles(), 0)
        << "the unloaded plugin's handles are gone (had " << handlesWithPlugin << ")";
    EXPECT_NE(host.console.Find("qm_enabled"), nullptr) << "the host keeps its variables";
    EXPECT_EQ(session->Description(), "loaded no module loaded");
    EXPECT_NE(Console(*session, "plugin unload").find("no module to unload"), std::string::npos);

    const std::string said = Console(*session, "plugin load " + original.string());
    EXPECT_NE(said.find("loaded Quellmark"), std::string::npos) << said;
    EXPECT_EQ(host.lines.size(), 8u);
}

TEST_F(PluginReloadTest, ARefusedModuleLeavesTheRunningOneInPlace) {
    const fs::path module = dir / "Quellmark.so";
    fs::copy_file(original, module);
    const auto session = Start(module);
    sim::Host& host = session->Host();

    std::string said = Console(*session, "plugin load " + refused.string());
    EXPECT_NE(said.find("interface version"), std::string::npos) << said;
    EXPECT_NE(said.find("running module is kept"), std::string::npos) << said;
    EXPECT_EQ(host.lines.size(), 8u) << "the running plugin still draws";

    // A rebuild that gives a module the host refuses, reloaded.
    sandboxtest::ReplaceAsABuildDoes(module, refused);
    said = Console(*session, "plugin reload");
    EXPECT_NE(said.find("'" + module.string() + "'"), std::string::npos)
        << "the message names the user's file, not the private copy: " << said;
    EXPECT_NE(said.find("running module is kept"), std::string::npos) << said;
    EXPECT_EQ(host.lines.size(), 8u);

    said = Console(*session, "plugin load " + (dir / "missing.so").string());
    EXPECT_NE(said.find("running module is kept"), std::string::npos) << said;

    // The next good build replaces it.
    sandboxtest::ReplaceAsABuildDoes(module, original);
    said = Console(*session, "plugin reload");
    EXPECT_NE(said.find("loaded Quellmark"), std::string::npos) << said;
    EXPECT_EQ(host.lines.size(), 8u);
}

TEST_F(PluginReloadTest, EveryModuleRunsFromAPrivateCopyThatGoesWithIt) {
    sim::Host host;
    fs::path folder;
    {
        ReloadablePlugin slot(host, 0);
        ASSERT_TRUE(slot.Load(original.string()).loaded);
        const fs::path firstCopy = slot.Running()->ModulePath();
        EXPECT_NE(firstCopy, original) << "even the first load is a private copy";
        EXPECT_TRUE(fs::exists(firstCopy));
        folder = firstCopy.parent_path();

        EXPECT_TRUE(slot.Load(original.string()).loaded);
        const fs::path secondCopy = slot.Running()->ModulePath();
        EXPECT_NE(secondCopy, firstCopy) << "old and new are open at once: two files";
        EXPECT_FALSE(fs::exists(firstCopy)) << "the replaced module's copy is removed";
        EXPECT_EQ(slot.Path(), original.string());

        // Another run's copies live beside these; making them does not take
        // a folder whose run is alive.
        sim::Host otherHost;
        ReloadablePlugin other(otherHost, 0);
        ASSERT_TRUE(other.Load(original.string()).loaded);
        EXPECT_NE(fs::path(other.Running()->ModulePath()).parent_path(), folder);
        EXPECT_TRUE(fs::exists(secondCopy));

        slot.Unload();
        EXPECT_FALSE(fs::exists(secondCopy));
    }
    EXPECT_FALSE(fs::exists(folder)) << "the run's folder goes with it";
}

TEST_F(PluginReloadTest, AFolderARunCouldNotRemoveIsRemovedByTheNext) {
    // What a killed run leaves: its folder, a copy in it, and the lock file
    // nobody holds any more.
    std::error_code failure;
    const fs::path leftover = fs::temp_directory_path() / "quellmark-modules-killedrun";
    fs::create_directories(leftover);
    std::ofstream(leftover / "lock").flush();
    std::ofstream(leftover / ("Quellmark-1" MODULE_SUFFIX)) << "a module";
    // A folder of the same prefix without the lock file may be one another
    // run is making right now: left alone.
    const fs::path beingMade = fs::temp_directory_path() / "quellmark-modules-beingmade";
    fs::create_directories(beingMade);

    sim::Host host;
    ReloadablePlugin slot(host, 0);
    ASSERT_TRUE(slot.Load(original.string()).loaded);
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_TRUE(fs::exists(beingMade));
    fs::remove_all(beingMade, failure);
}

#ifndef _WIN32
TEST_F(PluginReloadTest, RewritingTheModulesFileNeverReachesTheRunningModule) {
    // The program running on the user's file while it is rewritten: cut
    // short in place (which kills a process that maps the file), then
    // replaced as a build does, then cut again.
    const fs::path module = dir / ("m" MODULE_SUFFIX);
    fs::copy_file(original, module);
    sandboxtest::RunningSandbox run({"render", "--no-config", "--module", module.string(),
                                     "--frames", "150", "--out", (dir / "frames").string()},
                                    dir);
    ASSERT_TRUE(run.WaitForMessage("frame 1:"));
    std::ofstream(module, std::ios::trunc) << "garbage";
    sandboxtest::ReplaceAsABuildDoes(module, original);
    fs::resize_file(module, 4096);
    const sandboxtest::RunningSandbox::Ended ended = run.Wait();
    EXPECT_EQ(ended.signal, 0) << ended.err;
    EXPECT_EQ(ended.status, 0) << ended.err;
    EXPECT_TRUE(fs::exists(dir / "frames" / "frame-0150.png"));
}
#endif

TEST_F(PluginReloadTest, AModuleIsCheckedBeforeItIsCopied) {
    // A file far larger than any module that is no module at all: refused for
    // what it is, at once, without copying gigabytes of it first.
    const fs::path sparse = dir.Write("sparse" MODULE_SUFFIX, "");
    fs::resize_file(sparse, std::uintmax_t(4) << 30);
    sim::Host host;
    ReloadablePlugin slot(host, 0);
    const ReloadablePlugin::Outcome outcome = slot.Load(sparse.string());
    EXPECT_FALSE(outcome.loaded);
    EXPECT_NE(outcome.said.find(sparse.string()), std::string::npos) << outcome.said;
#ifdef _WIN32
    EXPECT_NE(outcome.said.find("not a PE file"), std::string::npos) << outcome.said;
#else
    EXPECT_NE(outcome.said.find("not an ELF file"), std::string::npos) << outcome.said;
#endif
}

TEST_F(PluginReloadTest, RequestsWaitForTheNextFrameAndMisuseIsExplained) {
    const auto session = Start(original);
    sim::Host& host = session->Host();
    host.console.Execute("plugin unload");
    EXPECT_EQ(host.DrawableCount(), 1u) << "nothing is unloaded inside the console command";
    session->RunGameFrame();
    EXPECT_EQ(host.DrawableCount(), 0u);

    for (const char* line : {"plugin", "plugin load", "plugin frobnicate", "plugin reload now"}) {
        EXPECT_NE(Console(*session, line).find("usage: plugin unload | plugin load PATH"),
                  std::string::npos)
            << line;
    }
}

} // namespace
} // namespace sandbox
