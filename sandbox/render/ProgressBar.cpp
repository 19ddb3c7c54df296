#include "ProgressBar.h"

#include <unistd.h>

#include <string>

namespace sandbox {

ProgressBar::ProgressBar(std::FILE* out, int total)
    : out_(out), total_(total), shown_(total > 1 && ::isatty(::fileno(out)) == 1) {}

ProgressBar::~ProgressBar() {
    Finish();
}

void ProgressBar::Finish() {
    if (shown_) {
        std::fputc('\n', out_);
        shown_ = false;
    }
}

void ProgressBar::Update(int done) {
    if (!shown_) {
        return;
    }
    constexpr int kWidth = 40;
    const int filled = total_ > 0 ? done * kWidth / total_ : kWidth;
    const std::string bar = std::string(filled, '#') + std::string(kWidth - filled, '.');
    std::fprintf(out_, "\r[%s] %d/%d frames", bar.c_str(), done, total_);
    std::fflush(out_);
}

} // namespace sandbox
