// The temporary file a replacement is written to: one fixed name per target,
// so a killed run's leftover is reused instead of piling up, and short enough
// for any target name the file system allows.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>

#include <gtest/gtest.h>

#include "FileChecks.h"
#include "files/OutputFile.h"
#include "support/TempDir.h"

namespace filestest {
namespace {

const files::WriteRules kOutput{"output", false};

TEST(TemporaryFilesTest, TheTemporaryIsHiddenBesideTheTargetUnderAFixedName) {
    EXPECT_EQ(files::TemporaryFor("/a/b/out.png"), "/a/b/.out.png.quellmark-tmp");
    EXPECT_EQ(files::TemporaryFor("out.png"), ".out.png.quellmark-tmp");
    EXPECT_EQ(files::TemporaryFor("x/out.png"), files::TemporaryFor("x/out.png"));
}

TEST(TemporaryFilesTest, AKilledRunsLeftoverIsReplacedNotKept) {
    testsupport::TempDir dir;
    const auto path = dir.Write("out.png", "old");
    const auto leftover = files::TemporaryFor(path);
    // What a run killed half way leaves: part of a file, perhaps unreadable.
    std::filesystem::path written = leftover;
    dir.Write(leftover.filename().string(), "half a pic");
    ASSERT_EQ(::chmod(written.c_str(), 0), 0);

    files::WriteFile(path, "new", kOutput);
    EXPECT_EQ(Content(path), "new");
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"out.png"});
}

TEST(TemporaryFilesTest, ALinkWhereTheTemporaryGoesIsNotFollowed) {
    testsupport::TempDir dir;
    const auto path = dir.Write("out.png", "old");
    const auto victim = dir.Write("victim", "untouched");
    std::filesystem::create_symlink(victim, files::TemporaryFor(path));

    files::WriteFile(path, "new", kOutput);
    EXPECT_EQ(Content(path), "new");
    EXPECT_EQ(Content(victim), "untouched");
    EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"out.png", "victim"}));
}

// Another writer of the same target removes our temporary as a leftover and
// makes its own under the name: whatever then goes wrong on our side, its
// file is not ours to remove, nor to put in the target's place.
TEST(TemporaryFilesTest, AnotherWritersFileUnderTheTemporarysNameIsLeftAlone) {
    testsupport::TempDir dir;
    const auto path = dir.Write("out.png", "old");
    const auto temporary = files::TemporaryFor(path);
    const auto takeOver = [&] {
        std::filesystem::remove(temporary);
        dir.Write(temporary.filename().string(), "theirs");
    };
    {
        files::OutputFile out(path, kOutput);
        out.Write("ours");
        takeOver();
    } // gone without Commit
    EXPECT_EQ(Content(temporary), "theirs") << "the other writer's file was removed";
    {
        files::OutputFile out(path, kOutput);
        out.Write("ours");
        takeOver();
        ExpectFailure<files::WriteFailed>([&] { out.Commit(); },
                                          {"out.png", "another process took over"});
    }
    EXPECT_EQ(Content(temporary), "theirs");
    EXPECT_EQ(Content(path), "old");

    // Our own is still removed when the replacement fails after it was
    // closed: here a folder took the target's place.
    std::filesystem::remove(temporary);
    {
        files::OutputFile out(path, kOutput);
        out.Write("ours");
        std::filesystem::remove(path);
        std::filesystem::create_directory(path);
        ExpectFailure<files::WriteFailed>([&] { out.Commit(); }, {"out.png"});
    }
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"out.png"});
}

// ".NAME.quellmark-tmp" is 15 bytes longer than NAME: up to the longest name
// that leaves room for it the temporary is named so, beyond it a short
// hashed name stands in.
TEST(TemporaryFilesTest, NamesUpToTheLongestAllowedAreWritten) {
    testsupport::TempDir dir;
    const long most = ::pathconf(dir.Path().c_str(), _PC_NAME_MAX);
    ASSERT_GT(most, 20);
    const std::string longestPlain(static_cast<std::size_t>(most - 15), 'n');
    EXPECT_EQ(files::TemporaryFor(dir / longestPlain),
              dir / ("." + longestPlain + ".quellmark-tmp"));
    const std::regex hashed(R"(\.quellmark-[0-9a-f]{16}\.tmp)");
    const std::string shortestHashed = longestPlain + "n";
    const std::string hashedName = files::TemporaryFor(dir / shortestHashed).filename().string();
    EXPECT_TRUE(std::regex_match(hashedName, hashed)) << hashedName;
    EXPECT_EQ(files::TemporaryFor(dir / shortestHashed).parent_path(), dir.Path());
    EXPECT_NE(files::TemporaryFor(dir / (longestPlain + "m")).filename(), hashedName)
        << "two names share a temporary";

    for (long length = most - 20; length <= most; ++length) {
        const std::string name(static_cast<std::size_t>(length), 'n');
        const auto path = dir / name;
        files::WriteFile(path, "first", kOutput);
        {
            files::OutputFile out(path, kOutput);
            EXPECT_TRUE(std::filesystem::exists(files::TemporaryFor(path)))
                << length << "-byte name: the temporary is not where TemporaryFor says";
            out.Write("second");
            out.Commit();
        }
        EXPECT_EQ(Content(path), "second") << length << "-byte name";
        EXPECT_LE(files::TemporaryFor(path).filename().string().size(),
                  static_cast<std::size_t>(most));
        EXPECT_EQ(Names(dir.Path()), std::set<std::string>{name})
            << length << "-byte name: a temporary file was left";
        std::filesystem::remove(path);
    }
    const std::string tooLong(static_cast<std::size_t>(most + 1), 'n');
    ExpectFailure<files::WriteFailed>([&] { files::WriteFile(dir / tooLong, "data", kOutput); },
                                      {"File name too long"});
    EXPECT_TRUE(Names(dir.Path()).empty());
}

} // namespace
} // namespace filestest
