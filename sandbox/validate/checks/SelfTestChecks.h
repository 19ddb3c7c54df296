#pragma once

#include <span>

#include "validate/checks/Check.h"

namespace validate {

// Checks that misbehave on purpose - abort, crash, overflow the stack, hang,
// fail, or fail naming the memory limit they run under - so that the
// validator's own tests can see each reported as a failure, with its cause,
// while the other checks still run. Listed only when the environment variable
// QUELLMARK_VALIDATE_SELFTEST is set to 1.
std::span<const Check> SelfTestChecks();
bool SelfTestsEnabled();

} // namespace validate
