#include "render/ProgressBar.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cmath>

namespace sandbox {

namespace {

bool IsTerminal(std::FILE* stream) {
    return stream != nullptr && ::isatty(::fileno(stream)) == 1;
}

// The terminal's width in columns, asked at every redraw so a resized window
// is followed; 80 when it does not say.
int Columns(std::FILE* stream) {
#ifdef _WIN32
    CONSOLE_SCREEN_BUFFER_INFO info;
    const HANDLE console = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    if (::GetConsoleScreenBufferInfo(console, &info) && info.dwSize.X > 0) {
        return info.dwSize.X;
    }
#else
    winsize size{};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
#endif
    return 80;
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

std::string ProgressBar::Line(int done, int total, double elapsedSeconds, int columns) {
    std::string figures = std::to_string(done) + "/" + std::to_string(total) + " frames";
    if (done > 0 && elapsedSeconds > 0.0) {
        const double rate = done / elapsedSeconds;
        const long left = std::lround(std::ceil((total - done) / rate));
        char more[64];
        std::snprintf(more, sizeof more, "  %.1f fps  %ld:%02ld left", rate, left / 60, left % 60);
        figures += more;
    }
    // The last column stays free: writing into it wraps some terminals onto
    // a new line, and the next redraw would start there.
    const int room = std::max(1, columns - 1);
    constexpr int kMostBar = 40;
    constexpr int kLeastBar = 10;
    const int bar = std::min(kMostBar, room - int(figures.size()) - 3);
    if (bar < kLeastBar) {
        return figures.substr(0, std::size_t(room));
    }
    const int filled = total > 0 ? done * bar / total : bar;
    return "[" + std::string(filled, '#') + std::string(bar - filled, '.') + "] " + figures;
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
    std::fprintf(out_, "\r%s\033[K", Line(done, total_, elapsed, Columns(out_)).c_str());
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
