// The process's standard streams: "-" standing for them where a caller allows
// it, what a program makes sure of first thing in main, and its last check
// that everything written to standard output arrived.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <iostream>

#include <gtest/gtest.h>

#include "FileChecks.h"
#include "files/InputFile.h"
#include "files/OutputFile.h"
#include "files/StandardStreams.h"
#include "support/TempDir.h"

namespace filestest {
namespace {

// Standard input and output stand in for "-" only where a caller allows it.
class StandardStreamsTest : public ::testing::Test {
protected:
    // Puts the read end of a pipe holding `text` on `fd`'s place (0), or the
    // write end (1), until the test ends.
    void Redirect(int fd, const std::string& text = "") {
        ASSERT_EQ(::pipe(pipe_), 0);
        if (fd == STDIN_FILENO) {
            ASSERT_EQ(::write(pipe_[1], text.data(), text.size()),
                      static_cast<ssize_t>(text.size()));
            ::close(pipe_[1]);
            pipe_[1] = -1;
        }
        // What the test framework has printed but not yet written must go
        // where it was meant, not into the pipe.
        std::fflush(stdout);
        saved_ = ::dup(fd);
        savedFd_ = fd;
        ::dup2(pipe_[fd == STDIN_FILENO ? 0 : 1], fd);
    }

    // Puts `fd` back where it was.
    void Restore() {
        if (saved_ >= 0) {
            std::fflush(stdout);
            ::dup2(saved_, savedFd_);
            ::close(saved_);
            saved_ = -1;
        }
    }

    std::string Drain() {
        Restore();
        ::close(pipe_[1]);
        pipe_[1] = -1;
        std::string text;
        char block[256];
        ssize_t n = 0;
        while ((n = ::read(pipe_[0], block, sizeof block)) > 0) {
            text.append(block, static_cast<std::size_t>(n));
        }
        return text;
    }

    void TearDown() override {
        Restore();
        for (int end : pipe_) {
            if (end >= 0) {
                ::close(end);
            }
        }
    }

    // Whether two descriptors are open on the same file.
    static bool SameFile(int a, int b) {
        struct stat first {};
        struct stat second {};
        return ::fstat(a, &first) == 0 && ::fstat(b, &second) == 0 &&
               first.st_dev == second.st_dev && first.st_ino == second.st_ino;
    }

    int pipe_[2] = {-1, -1};
    int saved_ = -1;
    int savedFd_ = -1;
};

TEST_F(StandardStreamsTest, DashReadsStandardInputWhenAllowed) {
    Redirect(STDIN_FILENO, "from a pipe");
    EXPECT_EQ(files::ReadFile("-", {"scenario", 100, true}), "from a pipe");
    // Still open, and still the pipe: it is the program's, not the reader's.
    EXPECT_TRUE(SameFile(STDIN_FILENO, pipe_[0])) << "standard input was closed";
}

TEST_F(StandardStreamsTest, StandardInputIsHeldToTheLimitToo) {
    Redirect(STDIN_FILENO, std::string(101, 'x'));
    ExpectFailure<files::Refused>(
        [] {
            files::ReadFile("-", {"scenario", 100, true});
        },
        {"standard input", "more than the 100 bytes"});
    EXPECT_TRUE(SameFile(STDIN_FILENO, pipe_[0])) << "standard input was closed";
}

TEST_F(StandardStreamsTest, DashIsAFileNameWhereStandardInputIsNotMeant) {
    Redirect(STDIN_FILENO, "from a pipe");
    ExpectFailure<files::Refused>(
        [] {
            files::ReadFile("-", {"scenario", 100, false});
        },
        {"'-'", "no such file"});
}

TEST_F(StandardStreamsTest, DashWritesStandardOutputWhenAllowed) {
    Redirect(STDOUT_FILENO);
    files::WriteFile("-", "a picture", {"output", true});
    EXPECT_TRUE(SameFile(STDOUT_FILENO, pipe_[1])) << "standard output was closed";
    EXPECT_EQ(Drain(), "a picture");
    EXPECT_FALSE(std::filesystem::exists("-"));
}

TEST_F(StandardStreamsTest, AReaderThatWentAwayIsAnErrorNotASignal) {
    Redirect(STDOUT_FILENO);
    ::close(pipe_[0]);
    pipe_[0] = -1;
    ExpectFailure<files::WriteFailed>(
        [] {
            files::WriteFile("-", "data", {"output", true});
        },
        {"standard output", "broken pipe"});
}

// How a child process ended, and what it wrote to its standard output and
// error: one pipe for both, so their order shows.
struct ChildRun {
    int status = -1;
    std::string output;
};

// Runs `body` in a child process whose standard output and error are one
// pipe, standard output reopened as a fresh program finds it (never written
// to, its buffering not chosen yet). The child ends with what `body` returns
// (a number saying which of its checks failed), without flushing anything,
// or 99 when it throws.
ChildRun InChild(const std::function<int()>& body) {
    std::fflush(stdout);
    std::fflush(stderr);
    int ends[2];
    if (::pipe(ends) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(ends[1], STDOUT_FILENO);
        ::dup2(ends[1], STDERR_FILENO);
        ::close(ends[0]);
        ::close(ends[1]);
        if (std::freopen(nullptr, "w", stdout) == nullptr) {
            std::_Exit(98);
        }
        int code = 99;
        try {
            code = body();
        } catch (...) {
        }
        std::_Exit(code);
    }
    ::close(ends[1]);
    ChildRun run;
    char block[256];
    ssize_t n = 0;
    while ((n = ::read(ends[0], block, sizeof block)) > 0) {
        run.output.append(block, static_cast<std::size_t>(n));
    }
    ::close(ends[0]);
    ::waitpid(pid, &run.status, 0);
    return run;
}

// Whether `fd` is open on the null device.
bool IsNullDevice(int fd) {
    struct stat opened {};
    struct stat null {};
    return ::fstat(fd, &opened) == 0 && ::stat("/dev/null", &null) == 0 &&
           S_ISCHR(opened.st_mode) && opened.st_rdev == null.st_rdev;
}

const files::WriteRules kOutput{"output", false};

// Run with all three closed, files opened afterwards would take their
// numbers: the first output's temporary standard input (read as "-"), the
// second standard output (printf into it) and the input standard error.
TEST(PrepareStandardStreamsTest, ClosedStreamsAreOpenedOnTheNullDevice) {
    testsupport::TempDir dir;
    const auto input = dir.Write("input.cfg", "input");
    const ChildRun run = InChild([&] {
        ::close(STDIN_FILENO);
        ::close(STDOUT_FILENO);
        ::close(STDERR_FILENO);
        if (files::PrepareStandardStreams()) {
            return 1;
        }
        files::OutputFile first(dir / "first.txt", kOutput);
        files::OutputFile second(dir / "second.txt", kOutput);
        files::InputFile in(input, {"config", 100, false});
        if (files::ReadFile("-", {"input", 100, true}) != "") {
            return 2;
        }
        std::printf("noise\n");
        std::fflush(stdout);
        std::fputs("noise\n", stderr);
        first.Write("first");
        first.Commit();
        second.Write("second");
        second.Commit();
        for (int fd = 0; fd < 3; ++fd) {
            if (!IsNullDevice(fd)) {
                return 10 + fd;
            }
        }
        return 0;
    });
    EXPECT_TRUE(WIFEXITED(run.status));
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << "1: refused, 2: standard input was a file, "
                                             "1x: descriptor x is not the null device, 99: threw";
    EXPECT_EQ(Content(dir / "first.txt"), "first");
    EXPECT_EQ(Content(dir / "second.txt"), "second");
    EXPECT_EQ(Content(input), "input");
}

TEST(PrepareStandardStreamsTest, ABrokenPipeIsAFailedWriteNotASignal) {
    const ChildRun run = InChild([] {
        if (files::PrepareStandardStreams()) {
            return 1;
        }
        int ends[2];
        if (::pipe(ends) != 0) {
            return 2;
        }
        ::close(ends[0]);
        return ::write(ends[1], "x", 1) == -1 && errno == EPIPE ? 0 : 3;
    });
    ASSERT_FALSE(WIFSIGNALED(run.status)) << "ended by signal " << WTERMSIG(run.status);
    EXPECT_EQ(WEXITSTATUS(run.status), 0);
}

// Lines written to standard output and error in turn arrive in that order,
// each as it is written: the child ends without flushing anything.
TEST(PrepareStandardStreamsTest, StandardOutputKeepsItsOrderWithStandardError) {
    const ChildRun run = InChild([] {
        if (files::PrepareStandardStreams()) {
            return 1;
        }
        std::printf("out 1\n");
        std::fputs("err 1\n", stderr);
        std::printf("out %d\n", 2);
        std::fputs("err 2\n", stderr);
        return 0;
    });
    EXPECT_EQ(WEXITSTATUS(run.status), 0);
    EXPECT_EQ(run.output, "out 1\nerr 1\nout 2\nerr 2\n");
}

// Puts `file` (opened for writing) on standard output.
bool StandardOutputTo(const char* file) {
    const int fd = ::open(file, O_WRONLY);
    return fd >= 0 && ::dup2(fd, STDOUT_FILENO) == STDOUT_FILENO && ::close(fd) == 0;
}

// The child prints what FinishStandardOutput says on standard error (still
// the test's pipe) and ends with 1 when it found a failure.
int ReportFinish() {
    const auto message = files::FinishStandardOutput();
    std::fputs(message.value_or("").c_str(), stderr);
    return message ? 1 : 0;
}

TEST(FinishStandardOutputTest, WhatIsHeldBackIsWrittenAndFailuresAreReported) {
    ChildRun run = InChild([] {
        if (files::PrepareStandardStreams()) {
            return 2;
        }
        std::printf("all of ");
        std::cout << "it";
        return ReportFinish();
    });
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.output;
    EXPECT_EQ(run.output, "all of it");

    // A line that failed long before: only the error mark is left of it.
    run = InChild([] {
        if (files::PrepareStandardStreams() || !StandardOutputTo("/dev/full")) {
            return 2;
        }
        std::printf("a line\n");
        return ReportFinish();
    });
    EXPECT_EQ(WEXITSTATUS(run.status), 1);
    EXPECT_NE(run.output.find("cannot write standard output"), std::string::npos) << run.output;

    // What only the last flush writes, and fails with its reason.
    run = InChild([] {
        if (files::PrepareStandardStreams() || !StandardOutputTo("/dev/full")) {
            return 2;
        }
        std::printf("a line\n");
        std::printf("part of one");
        return ReportFinish();
    });
    EXPECT_EQ(WEXITSTATUS(run.status), 1);
    EXPECT_EQ(run.output, "cannot write standard output: No space left on device");

    // A C++ stream with a buffer of its own: it and stdio's are both flushed,
    // and either one's failure is reported.
    run = InChild([] {
        std::ios::sync_with_stdio(false);
        if (files::PrepareStandardStreams()) {
            return 2;
        }
        std::printf("stdio's part");
        std::cout << "C++'s part";
        return ReportFinish();
    });
    EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.output;
    EXPECT_NE(run.output.find("stdio's part"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("C++'s part"), std::string::npos) << run.output;
    run = InChild([] {
        std::ios::sync_with_stdio(false);
        if (files::PrepareStandardStreams() || !StandardOutputTo("/dev/full")) {
            return 2;
        }
        std::cout << "held back";
        return ReportFinish();
    });
    EXPECT_EQ(WEXITSTATUS(run.status), 1);
    EXPECT_EQ(run.output, "cannot write standard output: No space left on device");
}

TEST(FinishStandardOutputTest, AReaderThatWentAwayIsNamed) {
    const ChildRun run = InChild([] {
        int ends[2];
        if (files::PrepareStandardStreams() || ::pipe(ends) != 0) {
            return 2;
        }
        ::close(ends[0]);
        ::dup2(ends[1], STDOUT_FILENO);
        ::close(ends[1]);
        std::printf("a line\nanother\n");
        return ReportFinish();
    });
    ASSERT_FALSE(WIFSIGNALED(run.status)) << "ended by signal " << WTERMSIG(run.status);
    EXPECT_EQ(WEXITSTATUS(run.status), 1);
    EXPECT_EQ(run.output, "cannot write standard output: the reader went away (broken pipe)");
}

} // namespace
} // namespace filestest
