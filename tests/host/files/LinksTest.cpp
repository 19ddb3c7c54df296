// A write through a symbolic link replaces the file the link names, never the
// link: a config kept in a dotfiles folder and linked from ~/.config stays
// linked.
#include <gtest/gtest.h>

#include "FileChecks.h"
#include "files/InputFile.h"
#include "files/OutputFile.h"
#include "support/TempDir.h"

namespace filestest {
namespace {

namespace fs = std::filesystem;

const files::WriteRules kConfig{"config", false};

TEST(LinksTest, AChainOfLinksIsFollowedToItsEndAndKept) {
    testsupport::TempDir dir;
    fs::create_directories(dir / "dotfiles" / "quellmark");
    dir.Write("dotfiles/quellmark/config.cfg", "old");
    // config.cfg -> dotfiles/current.cfg -> quellmark/config.cfg (relative
    // to the folder of the link that names it).
    fs::create_symlink("quellmark/config.cfg", dir / "dotfiles" / "current.cfg");
    fs::create_symlink("dotfiles/current.cfg", dir / "config.cfg");

    files::WriteFile(dir / "config.cfg", "new", kConfig);

    EXPECT_EQ(Content(dir / "dotfiles" / "quellmark" / "config.cfg"), "new");
    ASSERT_TRUE(S_ISLNK(ModeOf(dir / "config.cfg"))) << "the first link was replaced";
    ASSERT_TRUE(S_ISLNK(ModeOf(dir / "dotfiles" / "current.cfg")))
        << "the second link was replaced";
    EXPECT_EQ(fs::read_symlink(dir / "config.cfg"), "dotfiles/current.cfg");
    EXPECT_EQ(fs::read_symlink(dir / "dotfiles" / "current.cfg"), "quellmark/config.cfg");
    EXPECT_EQ(Names(dir / "dotfiles" / "quellmark"), std::set<std::string>{"config.cfg"})
        << "a temporary file was left beside the target";
}

TEST(LinksTest, ALinkToNothingGetsItsTargetMade) {
    testsupport::TempDir dir;
    fs::create_symlink(dir / "made.cfg", dir / "link.cfg");
    files::WriteFile(dir / "link.cfg", "content", kConfig);
    EXPECT_TRUE(S_ISLNK(ModeOf(dir / "link.cfg")));
    EXPECT_TRUE(S_ISREG(ModeOf(dir / "made.cfg")));
    EXPECT_EQ(Content(dir / "made.cfg"), "content");
}

TEST(LinksTest, ALinkToADeviceWritesIntoTheDevice) {
    testsupport::TempDir dir;
    fs::create_symlink("/dev/null", dir / "out.png");
    files::WriteFile(dir / "out.png", "a picture", kConfig);
    EXPECT_TRUE(S_ISLNK(ModeOf(dir / "out.png")));
    EXPECT_TRUE(S_ISCHR(ModeOf("/dev/null")));
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"out.png"});
}

// The system follows at most 40 links in resolving a name (Linux's limit); a
// writer follows as many, so whatever can be read through a chain can be
// written through it, and one link more is refused before anything changes.
TEST(LinksTest, FortyLinksAreFollowedAndMoreOrACircleAreRefused) {
    testsupport::TempDir dir;
    dir.Write("end.cfg", "old");
    // link1 -> end.cfg, link2 -> link1, ..., link41 -> link40.
    std::set<std::string> names{"end.cfg"};
    fs::path previous = "end.cfg";
    for (int n = 1; n <= 41; ++n) {
        const std::string name = "link" + std::to_string(n);
        fs::create_symlink(previous, dir / name);
        names.insert(name);
        previous = name;
    }
    files::WriteFile(dir / "link40", "new", kConfig);
    EXPECT_EQ(Content(dir / "end.cfg"), "new");
    EXPECT_EQ(files::ReadFile(dir / "link40", {"config", 100, false}), "new");

    ExpectFailure<files::Refused>([&] { files::WriteFile(dir / "link41", "lost", kConfig); },
                                  {"link41", "too many levels of symbolic links"});
    ExpectFailure<files::Refused>(
        [&] {
            files::ReadFile(dir / "link41", {"config", 100, false});
        },
        {"link41", "Too many levels of symbolic links"});
    EXPECT_EQ(Content(dir / "end.cfg"), "new");
    EXPECT_TRUE(S_ISLNK(ModeOf(dir / "link40")));
    EXPECT_EQ(Names(dir.Path()), names) << "a link was replaced or a temporary left";

    fs::create_symlink("b", dir / "a");
    fs::create_symlink("a", dir / "b");
    ExpectFailure<files::Refused>([&] { files::WriteFile(dir / "a", "data", kConfig); },
                                  {"too many levels of symbolic links"});
    EXPECT_EQ(fs::read_symlink(dir / "a"), "b");
    EXPECT_EQ(fs::read_symlink(dir / "b"), "a");
}

} // namespace
} // namespace filestest
