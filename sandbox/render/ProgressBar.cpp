#include "render/ProgressBar.h"

#include <unistd.h>

#include <cmath>

namespace sandbox {

namespace {

bool IsTerminal(std::FILE* stream) {
    return stream != nullptr && ::isatty(::fileno(stream)) == 1;
}

// Often enough to look live, rarely enough to cost nothing at hundreds of
// frames a second.
constexpr std::chrono::milliseconds kRedrawInterval(100);

} // namespace

ProgressBar::ProgressBar(std::FILE* out, int total, std::FILE* trace)
    : out_(out), total_(total), shown_(total > 1 && IsTerminal(out) && !IsTerminal(trace)) {}

ProgressBar::~ProgressBar() {
    Finish();
}

std::string ProgressBar::Line(int done, int total, double elapsedSeconds) {
    constexpr int kWidth = 40;
    const int filled = total > 0 ? done * kWidth / total : kWidth;
    std::string line = "[" + std::string(filled, '#') + std::string(kWidth - filled, '.') + "] " +
                       std::to_string(done) + "/" + std::to_string(total) + " frames";
    if (done <= 0 || elapsedSeconds <= 0.0) {
        return line;
    }
    const double rate = done / elapsedSeconds;
    const long left = std::lround(std::ceil((total - done) / rate));
    char figures[64];
    std::snprintf(figures, sizeof figures, "  %.1f fps  %ld:%02ld left", rate, left / 60,
                  left % 60);
    return line + figures;
}

void ProgressBar::Update(int done) {
    if (!shown_) {
        return;
    }
    const Clock::time_point now = Clock::now();
    if (done < total_ && now - drawn_ < kRedrawInterval) {
        return;
    }
    drawn_ = now;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    // Erasing to the end of the line keeps no stale characters when it shrinks.
    std::fprintf(out_, "\r%s\033[K", Line(done, total_, elapsed).c_str());
    std::fflush(out_);
}

void ProgressBar::Clear() {
    if (shown_) {
        std::fputs("\r\033[K", out_);
        drawn_ = {};
    }
}

void ProgressBar::Finish() {
    if (shown_) {
        std::fputc('\n', out_);
        shown_ = false;
    }
}

} // namespace sandbox
