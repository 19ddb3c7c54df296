// File names beyond ASCII reach the system unchanged: the program takes its
// arguments as UTF-8 (on Windows from the wide command line) and hands the
// system wide names where it wants them.

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "PngPixels.h"
#include "ProgramRun.h"
#include "base/ProgramPath.h"

namespace {

using sandbox::PathText;
using sandboxtest::RunSandbox;
using sandboxtest::TempDir;

TEST(WidePathTest, OutputNamedOutsideAscii) {
    TempDir home;
    // "Bild-é-ß-λ.png": Latin-1, beyond Latin-1, and Greek.
    const std::filesystem::path out = home.Path() / u8"Bild-\u00e9-\u00df-\u03bb.png";
    const auto run = RunSandbox({"render", "--out", PathText(out)}, home);
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_TRUE(std::filesystem::exists(out)) << "no file of that exact name";
    EXPECT_GT(sandboxtest::LoadPicture(out).width, 0);
    EXPECT_NE(run.out.find(PathText(out.filename())), std::string::npos)
        << "the message names the file as UTF-8: " << run.out;
}

} // namespace

// Every file the program reads or writes, in a folder named beyond ASCII:
// the scenario, the module (and the private copy made of it), the config
// read and then saved, and a frame folder.
TEST(WidePathTest, EveryFileInAFolderNamedOutsideAscii) {
    TempDir home;
    const std::filesystem::path folder = home.Path() / u8"Ordner-\u00e9-\u03bb";
    std::filesystem::create_directory(folder);
    const std::filesystem::path scenario = folder / u8"Szene-\u00df.json";
    std::filesystem::copy_file(std::filesystem::path(EXAMPLES_DIR) / "behind-goal.json", scenario);
    const std::filesystem::path module =
        folder / (std::u8string(u8"Modul-\u00e9") + std::u8string(u8"" MODULE_SUFFIX));
    std::filesystem::copy_file(QUELLMARK_MODULE_PATH, module);
    const std::filesystem::path config = folder / u8"Einstellungen-\u03bb.cfg";
    { std::ofstream(config) << "qm_enabled \"1\"\n"; }
    const std::filesystem::path frames = folder / u8"Bilder-\u00e9";

    const auto run = RunSandbox({"render", "--scenario", PathText(scenario), "--module",
                                 PathText(module), "--config", PathText(config), "--frames", "2",
                                 "--out", PathText(frames), "--exec", "qm_enabled 0; writeconfig"},
                                home);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("config: loaded " + PathText(config) + " (1 variable)"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("frame 1: qm_enabled \"0\""), std::string::npos) << run.err;
    EXPECT_GT(sandboxtest::LoadPicture(frames / "frame-0001.png").width, 0);
    EXPECT_GT(sandboxtest::LoadPicture(frames / "frame-0002.png").width, 0);
    EXPECT_NE(sandboxtest::ReadFile(config).find("qm_enabled \"0\""), std::string::npos)
        << "writeconfig saved to the same wide name";
}
