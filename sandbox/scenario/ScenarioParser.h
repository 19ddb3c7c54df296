#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "scenario/Scenario.h"

namespace sandbox {

// A scenario file larger than this is refused: a long path of waypoints is
// a few hundred kilobytes.
inline constexpr std::uint64_t kMaxScenarioBytes = 16 * 1024 * 1024;

// Reads a scenario from its JSON text. `source` names the text in messages.
// Anything wrong (syntax, an unknown field or mode, a number that is not
// finite or out of range, nesting deeper than 256 levels, a key given twice,
// a NUL byte anywhere) throws InputError naming the source and the field,
// with line and column where the text itself is at fault. Messages quote at
// most the start of a value.
Scenario ParseScenario(std::string_view text, const std::string& source);

// Reads the scenario file at `path` (UTF-8; "-": standard input) through the file
// layer: not a regular file, larger than kMaxScenarioBytes or a read error
// throws InputError too.
Scenario LoadScenarioFile(const std::string& path);

} // namespace sandbox
