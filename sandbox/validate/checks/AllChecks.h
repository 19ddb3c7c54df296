#pragma once

#include <string_view>
#include <vector>

#include "validate/checks/Check.h"

namespace validate {

// Every check of this run, in the order they run: those every plugin must
// pass, then Quellmark's own; the self-tests last when they are enabled.
std::vector<Check> AllChecks();
const Check* FindCheck(const std::vector<Check>& checks, std::string_view name);

// The probe that answers with the module's class name (see AnswerClassName):
// run in a child like a check, never listed.
const Check& ClassNameProbe();

// The class name that makes Quellmark's own checks run by default.
inline constexpr std::string_view kQuellmarkClassName = "Quellmark";

} // namespace validate
