#include "window/ConsoleHistory.h"

namespace sandbox {

void ConsoleHistory::Add(const std::string& line) {
    if (!line.empty() && (lines_.empty() || lines_.back() != line)) {
        lines_.push_back(line);
    }
    position_ = lines_.size();
}

std::optional<std::string> ConsoleHistory::Older() {
    if (position_ == 0) {
        return std::nullopt;
    }
    return lines_[--position_];
}

std::optional<std::string> ConsoleHistory::Newer() {
    if (position_ >= lines_.size()) {
        return std::nullopt;
    }
    ++position_;
    return position_ == lines_.size() ? std::string() : lines_[position_];
}

} // namespace sandbox
