// render's progress line: how far, how fast, how long still.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <string>

#include "render/ProgressBar.h"

namespace sandbox {
namespace {

TEST(ProgressBarTest, LineShowsFramesRateAndTimeLeft) {
    EXPECT_EQ(ProgressBar::Line(30, 60, 0.5, 120),
              "[####################....................] 30/60 frames  60.0 fps  0:01 left");
    EXPECT_EQ(ProgressBar::Line(100, 1000, 4.0, 120).substr(43),
              "100/1000 frames  25.0 fps  0:36 left");
    EXPECT_EQ(ProgressBar::Line(10, 10000, 1.0, 120).substr(43),
              "10/10000 frames  10.0 fps  16:39 left");
}

TEST(ProgressBarTest, TimeLeftRoundsUpAndEndsAtZero) {
    EXPECT_NE(ProgressBar::Line(1, 3, 0.1, 120).find("0:01 left"), std::string::npos)
        << "0.2 s left shows as a second, not as done";
    EXPECT_NE(ProgressBar::Line(3, 3, 0.3, 120).find("0:00 left"), std::string::npos);
}

TEST(ProgressBarTest, NeverWiderThanAllButTheTerminalsLastColumn) {
    // At 80 columns the bar gives a column so the figures still fit.
    EXPECT_EQ(ProgressBar::Line(10, 10000, 1.0, 80),
              "[.......................................] 10/10000 frames  10.0 fps  16:39 left");
    for (int columns : {80, 60, 51, 50, 40, 20, 5, 1, 0}) {
        const std::string line = ProgressBar::Line(10, 10000, 1.0, columns);
        EXPECT_LE(int(line.size()), std::max(1, columns - 1)) << columns << ": " << line;
        EXPECT_FALSE(line.empty()) << columns;
    }
    EXPECT_EQ(ProgressBar::Line(10, 10000, 1.0, 40), "10/10000 frames  10.0 fps  16:39 left")
        << "too narrow for a bar: the figures alone";
    EXPECT_EQ(ProgressBar::Line(10, 10000, 1.0, 20), "10/10000 frames  10")
        << "too narrow for the figures: they are cut";
}

TEST(ProgressBarTest, NoRateBeforeTheFirstFrame) {
    EXPECT_EQ(ProgressBar::Line(0, 4, 0.0, 120),
              "[........................................] 0/4 frames");
}

TEST(ProgressBarTest, NeverShownWhenTheOutputIsNoTerminal) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        ProgressBar bar(file, 10, nullptr);
        for (int i = 1; i <= 10; ++i) {
            bar.Update(i);
        }
        bar.Clear();
    }
    EXPECT_EQ(std::ftell(file), 0L) << "a file got progress output";
    std::fclose(file);
}

#ifndef _WIN32
// POSIX only: Windows has no pseudo-terminal a test can open this way.
// A pseudo-terminal: `terminal` is what a program sees as its terminal,
// Drain() what was written to it.
class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
            const int slave = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
            terminal = slave >= 0 ? ::fdopen(slave, "w") : nullptr;
        }
        ::fcntl(master_, F_SETFL, O_NONBLOCK);
    }
    ~PseudoTerminal() {
        if (terminal != nullptr) {
            std::fclose(terminal);
        }
        ::close(master_);
    }
    std::string Drain() {
        std::fflush(terminal);
        std::string text;
        char buffer[256];
        for (ssize_t n; (n = ::read(master_, buffer, sizeof buffer)) > 0;) {
            text.append(buffer, std::size_t(n));
        }
        return text;
    }
    std::FILE* terminal = nullptr;

private:
    int master_ = -1;
};

TEST(ProgressBarTest, ShownOnATerminalUnlessTheTraceGoesToATerminalToo) {
    PseudoTerminal screen;
    ASSERT_NE(screen.terminal, nullptr) << "no pseudo-terminal";
    {
        ProgressBar bar(screen.terminal, 10, nullptr);
        bar.Update(10);
    }
    EXPECT_NE(screen.Drain().find("10/10 frames"), std::string::npos)
        << "the bar should show on a terminal";

    PseudoTerminal traceScreen;
    {
        ProgressBar bar(screen.terminal, 10, traceScreen.terminal);
        bar.Update(10);
    }
    EXPECT_EQ(screen.Drain(), "") << "the bar should keep off a trace shown on a terminal";

    std::FILE* traceFile = std::tmpfile();
    {
        ProgressBar bar(screen.terminal, 10, traceFile);
        bar.Update(10);
    }
    std::fclose(traceFile);
    EXPECT_NE(screen.Drain().find("10/10 frames"), std::string::npos)
        << "a trace into a file leaves the terminal to the bar";
}
#endif

} // namespace
} // namespace sandbox
