#pragma once

#include <string>
#include <string_view>

#include "Scenario.h"

namespace sandbox {

// Reads a scenario from its JSON text. `source` names the text in messages.
// Anything wrong (syntax, an unknown field or mode, a number that is not
// finite or out of range) throws InputError naming the source and the field,
// with line and column for syntax errors.
Scenario ParseScenario(std::string_view text, const std::string& source);

// Reads the scenario file at `path`; a file that cannot be read throws
// InputError too.
Scenario LoadScenarioFile(const std::string& path);

} // namespace sandbox
