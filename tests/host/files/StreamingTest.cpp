// An output written in pieces (an encoder streaming frames): the target
// changes once, at Commit, and not at all when the writer goes without it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "FileChecks.h"
#include "files/OutputFile.h"
#include "support/TempDir.h"

namespace filestest {
namespace {

const files::WriteRules kOutput{"output", false};

TEST(StreamingTest, PiecesBecomeTheContentAtCommitAndNotBefore) {
    testsupport::TempDir dir;
    const auto path = dir.Write("movie.bin", "old");
    files::OutputFile out(path, kOutput);
    for (int piece = 0; piece < 100; ++piece) {
        out.Write(std::string(1000, static_cast<char>('a' + piece % 26)));
    }
    EXPECT_EQ(Content(path), "old") << "the target changed before Commit";
    EXPECT_EQ(Names(dir.Path()).size(), 2u) << "the pieces go to a temporary beside it";
    out.Commit();
    const std::string written = Content(path);
    ASSERT_EQ(written.size(), 100000u);
    EXPECT_EQ(written.substr(99000, 3), "vvv");
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"movie.bin"});
}

TEST(StreamingTest, AWriterGoneWithoutCommitLeavesNothingChanged) {
    testsupport::TempDir dir;
    const auto existing = dir.Write("kept.bin", "old");
    {
        files::OutputFile out(existing, kOutput);
        out.Write("half of something");
    }
    {
        files::OutputFile out(dir / "new.bin", kOutput);
        out.Write("half of something");
    }
    EXPECT_EQ(Content(existing), "old");
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"kept.bin"});
}

TEST(StreamingTest, PiecesGoStraightIntoAFifoAsTheyAreWritten) {
    testsupport::TempDir dir;
    const auto fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    files::OutputFile out(fifo, kOutput);
    out.Write("first ");
    char received[16] = {};
    EXPECT_EQ(::read(reader, received, sizeof received), 6) << "held back until Commit";
    out.Write("second");
    out.Commit();
    EXPECT_EQ(::read(reader, received, sizeof received), 6);
    ::close(reader);
    EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));
}

} // namespace
} // namespace filestest
