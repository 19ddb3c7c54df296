#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace sandbox {

// The lines typed into the console, for Up and Down to bring back: Up steps
// to older lines, Down to newer ones and past the newest to an empty line.
// Adding a line starts over from the newest.
class ConsoleHistory {
public:
    // Keeps `line` unless it is empty or the same as the newest.
    void Add(const std::string& line);

    // The next older line; nothing when there is none (the position stays).
    std::optional<std::string> Older();
    // The next newer line, "" past the newest; nothing when not browsing.
    std::optional<std::string> Newer();

private:
    std::vector<std::string> lines_;
    std::size_t position_ = 0; // lines_.size(): not browsing
};

} // namespace sandbox
