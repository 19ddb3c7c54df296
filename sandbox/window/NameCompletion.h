#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sandbox {

// What Tab does to a console line.
struct Completion {
    std::string line;                    // the line, its last name finished as far as it can be
    std::vector<std::string> candidates; // the names it could still become, when more than one
};

// Finishes the name being typed at the end of `line`, the first word of its
// last command (after the last ';'), from `names` (commands and variables):
// the one name it starts, followed by a blank, or else as far as all the
// names it starts agree. A line whose last command already has a blank after
// its name is left as it is.
Completion CompleteName(std::string_view line, const std::vector<std::string>& names);

} // namespace sandbox
