#pragma once

#include <cstdio>
#include <string_view>

namespace sandbox {

// Prints `line` and a line end on `out`, made safe for a terminal first
// (files::Printable): a module's title, a path or a console value with
// control characters in it cannot move the cursor or forge a line.
void Say(std::FILE* out, std::string_view line);

} // namespace sandbox
