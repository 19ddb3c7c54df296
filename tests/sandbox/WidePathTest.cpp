// File names beyond ASCII reach the system unchanged: the program takes its
// arguments as UTF-8 (on Windows from the wide command line) and hands the
// system wide names where it wants them.

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "PngPixels.h"
#include "ProgramPath.h"
#include "ProgramRun.h"

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
