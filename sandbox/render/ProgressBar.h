#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace sandbox {

// A one-line progress bar with the frame rate and the time left, redrawn in
// place on `out`. Shown only when `out` is a terminal, so logs and pipes stay
// clean, and not when the trace goes to a terminal too: redrawn in place
// between trace lines it would garble both.
class ProgressBar {
public:
    // `trace` is the stream the trace is printed on, or null.
    ProgressBar(std::FILE* out, int total, std::FILE* trace);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void Update(int done);
    // Erases the bar so other text can go to `out`; the next Update redraws it.
    void Clear();
    // Ends the bar's line, so what is printed next starts on its own.
    void Finish();

    // "[#####...] 30/60 frames  60.0 fps  0:01 left" after `elapsedSeconds`,
    // on a terminal `columns` wide: never wider than all but its last column,
    // the bar shortened, then left out, then the figures cut, as it narrows.
    static std::string Line(int done, int total, double elapsedSeconds, int columns);

private:
    using Clock = std::chrono::steady_clock;

    std::FILE* out_;
    int total_;
    bool shown_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point drawn_{};
};

} // namespace sandbox
