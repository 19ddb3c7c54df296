#pragma once

#include <string>

#include "validate/checks/Check.h"

namespace validate {

struct Verdict {
    bool passed = false;
    std::string reason; // why it failed
};

// Runs the check in a child process of its own and waits for it, at most the
// check's timeout. A crash, an abort, a sanitizer's exit or a hang fails the
// check with the cause named; the caller carries on with the next one.
Verdict RunInChild(const Check& check, const CheckContext& context);

} // namespace validate
