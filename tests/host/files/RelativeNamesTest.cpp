// Files named relative to the working directory, as a user types them on a
// command line ("out.png", "shots/out.png"): made, and replaced when they are
// there, on every platform.

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "files/InputFile.h"
#include "files/OutputFile.h"

namespace {

using testsupport::TempDir;

const files::WriteRules kOutput{"output", false};

std::string Read(const std::filesystem::path& path) {
    return files::ReadFile(path, {"file", 1 << 20, false});
}

// Works inside a fresh folder, and goes back where it was.
class RelativeNamesTest : public ::testing::Test {
protected:
    RelativeNamesTest() : before_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir_.Path());
        std::filesystem::create_directory("shots");
    }
    ~RelativeNamesTest() override { std::filesystem::current_path(before_); }

    TempDir dir_;

private:
    std::filesystem::path before_;
};

TEST_F(RelativeNamesTest, AFileInTheWorkingFolderIsMadeThenReplaced) {
    files::WriteFile("out.txt", "first", kOutput);
    EXPECT_EQ(Read(dir_ / "out.txt"), "first");
    files::WriteFile("out.txt", "second", kOutput);
    EXPECT_EQ(Read(dir_ / "out.txt"), "second");
    EXPECT_FALSE(std::filesystem::exists(files::TemporaryFor(dir_ / "out.txt")));
}

TEST_F(RelativeNamesTest, AFileInASubfolderIsMadeThenReplaced) {
    for (const char* name : {"shots/out.txt", "./shots/../shots/again.txt"}) {
        files::WriteFile(name, "first", kOutput);
        files::WriteFile(name, "second", kOutput);
        EXPECT_EQ(Read(name), "second") << name;
    }
    EXPECT_EQ(Read(dir_ / "shots" / "out.txt"), "second");
    EXPECT_EQ(Read(dir_ / "shots" / "again.txt"), "second");
}

} // namespace
