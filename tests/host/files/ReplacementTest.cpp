// Replacing a file, on every platform: the new content and no temporary left
// behind, nothing lost when the write is refused, and files named relative to
// the working directory as a user types them ("out.png", "shots/out.png").

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "FileChecks.h"
#include "files/OutputFile.h"
#include "support/TempDir.h"

namespace filestest {
namespace {

using testsupport::TempDir;

const files::WriteRules kOutput{"output", false};

TEST(ReplacementTest, ReplacesTheFileAndLeavesNoTemporary) {
    testsupport::TempDir dir;
    const auto path = dir.Write("f.txt", "old");
    files::WriteFile(path, "new content", kOutput);
    EXPECT_EQ(Content(path), "new content");
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"f.txt"})
        << "a temporary file was left behind";
}

TEST(ReplacementTest, AFailedWriteLeavesWhatWasThere) {
    testsupport::TempDir dir;
    // A folder in the way: refused before anything is written.
    std::filesystem::create_directory(dir / "taken");
    dir.Write("taken/keep", "kept");
    ExpectFailure<files::Refused>([&] { files::WriteFile(dir / "taken", "data", kOutput); },
                                  {"taken", "a directory"});
    EXPECT_EQ(Content(dir / "taken" / "keep"), "kept");
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"taken"})
        << "the temporary file was not removed";

    ExpectFailure<files::WriteFailed>(
        [&] { files::WriteFile(dir / "missing" / "f", "data", kOutput); }, {"does not exist"});
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
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
    EXPECT_EQ(Content(dir_ / "out.txt"), "first");
    files::WriteFile("out.txt", "second", kOutput);
    EXPECT_EQ(Content(dir_ / "out.txt"), "second");
    EXPECT_FALSE(std::filesystem::exists(files::TemporaryFor(dir_ / "out.txt")));
}

TEST_F(RelativeNamesTest, AFileInASubfolderIsMadeThenReplaced) {
    for (const char* name : {"shots/out.txt", "./shots/../shots/again.txt"}) {
        files::WriteFile(name, "first", kOutput);
        files::WriteFile(name, "second", kOutput);
        EXPECT_EQ(Content(name), "second") << name;
    }
    EXPECT_EQ(Content(dir_ / "shots" / "out.txt"), "second");
    EXPECT_EQ(Content(dir_ / "shots" / "again.txt"), "second");
}

} // namespace
} // namespace filestest
