#pragma once

#include <string_view>
#include <vector>

#include "validate/checks/Check.h"

namespace validate {

// Every check of this run, in the order they run; the self-tests last when
// they are enabled.
std::vector<Check> AllChecks();
const Check* FindCheck(const std::vector<Check>& checks, std::string_view name);

} // namespace validate
