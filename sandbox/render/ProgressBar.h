#pragma once

#include <cstdio>

namespace sandbox {

// A one-line progress bar redrawn in place on `out`, shown only when `out` is
// a terminal so logs and pipes stay clean.
class ProgressBar {
public:
    ProgressBar(std::FILE* out, int total);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void Update(int done);
    // Ends the bar's line, so what is printed next starts on its own.
    void Finish();

private:
    std::FILE* out_;
    int total_;
    bool shown_;
};

} // namespace sandbox
