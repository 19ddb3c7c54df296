// quellmark-sandbox given hostile files, end to end: special files, links,
// read errors, truncated modules. Every run must end with
// a status and a message (never a signal or a hang), and every file, link
// and device must be as it was, or, for a link, its target updated.
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include <gtest/gtest.h>

#include "PngPixels.h"
#include "ProgramRun.h"

namespace sandboxtest {
namespace {

namespace fs = std::filesystem;

const char* const kScenario = R"({"mode": "freeplay", "canvas": [320, 180],
 "camera": {"location": [0, -6000, 800], "rotation": [-2000, 16384, 0], "fov": 90},
 "ball": [0, 0, 93]})";

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode : 0;
}

// The interposed read and write (tests/host/files/ReadFault.cpp) preloaded
// into the program, failing on files whose path holds `pattern`.
std::vector<std::string> Faulty(const std::string& variable, const std::string& rule) {
    return {"env", "LD_PRELOAD=" READFAULT_LIBRARY, variable + "=" + rule};
}

class FileSafetyTest : public ::testing::Test {
protected:
    // render with `extra`, and the small scenario into out.png unless `extra`
    // names a scenario or an output of its own.
    RunResult Render(std::vector<std::string> extra, const std::vector<std::string>& wrapper = {}) {
        std::vector<std::string> arguments = {"render"};
        auto given = [&](const char* option) {
            return std::find(extra.begin(), extra.end(), option) != extra.end();
        };
        if (!given("--scenario")) {
            arguments.insert(arguments.end(),
                             {"--scenario", dir.Write("scenario.json", kScenario).string()});
        }
        if (!given("--out")) {
            arguments.insert(arguments.end(), {"--out", (dir / "out.png").string()});
        }
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return RunSandbox(arguments, dir, wrapper);
    }

    // Expects `run` to have ended with `status`, saying every one of `mentioned`.
    static void Expect(const RunResult& run, int status,
                       std::initializer_list<std::string> mentioned) {
        EXPECT_EQ(run.status, status) << run.err;
        for (const std::string& text : mentioned) {
            EXPECT_NE(run.err.find(text), std::string::npos)
                << "the messages should say '" << text << "':\n"
                << run.err;
        }
    }

    TempDir dir;
};

TEST_F(FileSafetyTest, InputsThatAreNotFilesAreRefusedWithoutWaiting) {
    const auto fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Expect(Render({"--module", fifo.string()}), 2, {"module", "FIFO"});
    // A config that cannot be read is warned about; the run goes on, and a
    // save it asks for is refused.
    Expect(Render({"--config", fifo.string()}), 0, {"config", "FIFO"});
    Expect(Render({"--config", "/dev/zero", "--exec", "writeconfig"}), 1,
           {"config '/dev/zero'", "character device", "not saving"});
    EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));
    EXPECT_TRUE(S_ISCHR(ModeOf("/dev/zero")));
}

TEST_F(FileSafetyTest, OutputsGoIntoDevicesAndFifosAndNeverReplaceThem) {
    const mode_t null = ModeOf("/dev/null");
    EXPECT_EQ(RunSandbox({"render", "--scenario", dir.Write("s.json", kScenario).string(), "--out",
                          "/dev/null"},
                         dir)
                  .status,
              0);
    EXPECT_EQ(ModeOf("/dev/null"), null) << "/dev/null was replaced";
    Expect(
        RunSandbox({"render", "--scenario", (dir / "s.json").string(), "--out", "/dev/full"}, dir),
        1, {"output '/dev/full'", "No space left on device"});
    EXPECT_TRUE(S_ISCHR(ModeOf("/dev/full")));

    const auto fifo = dir / "out.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Expect(RunSandbox({"render", "--scenario", (dir / "s.json").string(), "--out", fifo.string()},
                      dir),
           1, {"out.fifo", "no process is reading"});
    EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));

    // A read-only picture is the owner's word: refused before the run.
    const auto locked = dir.Write("locked.png", "kept");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    Expect(RunSandbox({"render", "--scenario", (dir / "s.json").string(), "--out", locked.string()},
                      dir),
           2, {"locked.png", "read-only"});
    EXPECT_EQ(ReadFile(locked), "kept");
}

TEST_F(FileSafetyTest, ATraceThatCannotBeWrittenWholeFailsTheRun) {
    Expect(Render({"--trace"}, {"sh", "-c", "exec \"$@\" >/dev/full", "sh"}), 1,
           {"cannot write the trace", "No space left on device"});
}

TEST_F(FileSafetyTest, WritesThroughLinksUpdateTheirTargetsAndKeepTheLinks) {
    fs::create_directories(dir / "dotfiles");
    dir.Write("dotfiles/config.cfg", "other_plugin \"7\"\n");
    fs::create_symlink(dir / "dotfiles" / "config.cfg", dir / "config.cfg");
    dir.Write("dotfiles/picture.png", "old");
    fs::create_symlink("dotfiles/picture.png", dir / "picture.png");

    const RunResult run =
        RunSandbox({"render", "--scenario", dir.Write("s.json", kScenario).string(), "--out",
                    (dir / "picture.png").string(), "--config", (dir / "config.cfg").string(),
                    "--exec", "qm_enabled 1; writeconfig"},
                   dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(S_ISLNK(ModeOf(dir / "config.cfg")));
    EXPECT_TRUE(S_ISLNK(ModeOf(dir / "picture.png")));
    const std::string config = ReadFile(dir / "dotfiles" / "config.cfg");
    EXPECT_NE(config.find("qm_enabled \"1\""), std::string::npos) << config;
    EXPECT_NE(config.find("other_plugin \"7\""), std::string::npos) << config;
    EXPECT_EQ(LoadPicture(dir / "dotfiles" / "picture.png").width, 320);
}

TEST_F(FileSafetyTest, AReadErrorIsSaidAsOneAndNothingIsSavedOver) {
    const auto scenario = dir.Write("failing.json", kScenario);
    Expect(RunSandbox({"render", "--scenario", scenario.string()}, dir,
                      Faulty("QUELLMARK_TEST_READ_FAULT", "failing.json")),
           2, {"failing.json", "Input/output error"});

    const std::string kept = "qm_enabled \"0\"\nother_plugin \"7\"\n";
    const auto config = dir.Write("failing.cfg", kept);
    const RunResult run = Render({"--config", config.string(), "--exec", "writeconfig"},
                                 Faulty("QUELLMARK_TEST_READ_FAULT", "failing.cfg@5"));
    Expect(run, 1, {"failing.cfg", "Input/output error", "not saving"});
    EXPECT_EQ(run.err.find("syntax"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(config), kept);
}

TEST_F(FileSafetyTest, ModulesCutShortOrForAnotherMachineAreRefusedWithoutASignal) {
    const std::string module = ReadFile(QUELLMARK_MODULE_PATH);
    ASSERT_GT(module.size(), 100000u);
    for (const std::size_t cut : {std::size_t{100}, std::size_t{5000}, std::size_t{20000},
                                  std::size_t{100000}, module.size() / 3}) {
        const auto cutModule = dir.Write("cut.so", module.substr(0, cut));
        const RunResult run = Render({"--module", cutModule.string()});
        Expect(run, 2, {"cut.so", "truncated", "but the file has " + std::to_string(cut)});
    }
#if defined(__x86_64__)
    std::string other = module;
    const std::uint16_t aarch64 = 183;
    std::memcpy(other.data() + 18, &aarch64, sizeof aarch64); // e_machine
    Expect(Render({"--module", dir.Write("other.so", other).string()}), 2,
           {"other.so", "built for aarch64, this host is x86-64"});
#endif
    EXPECT_EQ(ReadFile(dir / "out.png"), "") << "an output was written";
}

} // namespace
} // namespace sandboxtest
