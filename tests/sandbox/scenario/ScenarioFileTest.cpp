// quellmark-sandbox given scenario files, end to end: what only the whole
// program shows. A refused scenario ends the run with status 2, naming the
// file and the field, before anything is written; a scenario that is no
// regular file is refused without waiting on it; "-" reads standard input.
// What the parser refuses and how it says so: ScenarioParserTest and
// HostileScenarioTest.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "PngPixels.h"
#include "ProgramRun.h"

namespace sandboxtest {
namespace {

const char* const kScenario = R"({"mode": "freeplay", "canvas": [320, 180],
 "camera": {"location": [0, -6000, 800], "rotation": [-2000, 16384, 0], "fov": 90},
 "ball": [0, 0, 93]})";

TEST(ScenarioFileTest, ARefusedScenarioExits2NamingFileAndFieldAndWritesNothing) {
    struct Case {
        const char* name;
        std::optional<std::string> text; // none: no such file
        std::vector<std::string> mentioned;
    };
    std::string range = kScenario;
    range.replace(range.find("\"fov\": 90"), 9, "\"fov\": 180");
    const Case cases[] = {
        {"broken.json",
         "{\"mode\": \"freeplay\",\n \"canvas\": [640 360]}",
         {"broken.json:2:", "canvas[1]"}},
        {"range.json", range, {"range.json: camera.fov: 180 is out of range"}},
        {"absent.json", std::nullopt, {"absent.json"}},
    };
    for (const Case& scenario : cases) {
        TempDir dir;
        const std::string previous = "an earlier good picture";
        const auto out = dir.Write("out.png", previous);
        if (scenario.text) {
            dir.Write(scenario.name, *scenario.text);
        }
        const RunResult run = RunSandbox(
            {"render", "--out", out.string(), "--scenario", (dir / scenario.name).string()}, dir);
        EXPECT_EQ(run.status, 2) << scenario.name << ": " << run.err;
        for (const std::string& text : scenario.mentioned) {
            EXPECT_NE(run.err.find(text), std::string::npos)
                << "the message should mention '" << text << "':\n"
                << run.err;
        }
        EXPECT_EQ(ReadFile(out), previous) << scenario.name << ": the output was overwritten";
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
            const std::string name = entry.path().filename().string();
            EXPECT_TRUE(name == "out.png" || name == scenario.name) << "left behind: " << name;
        }
    }
}

TEST(ScenarioFileTest, AScenarioThatIsNoRegularFileIsRefusedWithoutWaiting) {
    TempDir dir;
    std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {dir.Path().string(), {"--scenario", "directory"}}};
#ifndef _WIN32
    const auto fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    cases.push_back({fifo.string(), {"scenario", "FIFO"}});
    cases.push_back({"/dev/zero", {"scenario '/dev/zero'", "character device"}});
#endif
    for (const auto& [path, mentioned] : cases) {
        const RunResult run = RunSandbox({"render", "--scenario", path}, dir);
        EXPECT_EQ(run.status, 2) << path << ": " << run.err;
        for (const std::string& text : mentioned) {
            EXPECT_NE(run.err.find(text), std::string::npos) << path << ": " << run.err;
        }
    }
}

#ifndef _WIN32
TEST(ScenarioFileTest, DashReadsTheScenarioFromStandardInput) {
    TempDir dir;
    const auto piped = [&](const char* name) {
        return std::vector<std::string>{"sh", "-c", "exec \"$@\" <\"$0\"", (dir / name).string()};
    };
    dir.Write("piped.json", kScenario);
    const auto out = dir / "out.png";
    const RunResult run =
        RunSandbox({"render", "--scenario", "-", "--out", out.string()}, dir, piped("piped.json"));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(LoadPicture(out).width, 320);
    dir.Write("broken.json", "{\"camera\": null,\n \"ball\": [1, 2 3]}");
    const RunResult broken =
        RunSandbox({"render", "--scenario", "-", "--out", out.string()}, dir, piped("broken.json"));
    EXPECT_EQ(broken.status, 2) << broken.err;
    EXPECT_NE(broken.err.find("standard input:2:16: ball[2]"), std::string::npos) << broken.err;
}
#endif

} // namespace
} // namespace sandboxtest
