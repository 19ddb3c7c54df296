#pragma once

#include <string>

#include "validate/checks/Check.h"

namespace validate {

struct Verdict {
    bool passed = false;
    std::string reason; // why it failed
    std::string answer; // what a probe found (see Answer)
};

// Runs the check in a child process of its own (see ChildProcess.h) and waits
// for it, at most the check's timeout. A crash, an abort, a sanitizer's exit
// or a hang fails the check with the cause named; the caller carries on with
// the next one.
Verdict RunInChild(const Check& check, const CheckContext& context);

// The child's side, on every platform: runs the check in this process and
// says what the parent must be told, and with which exit status (0 passed or
// answered, 1 failed).
struct ChildReport {
    int status = 0;
    std::string text; // the failure's reason or the probe's answer
};
ChildReport RunHere(const Check& check, const CheckContext& context);

// `validate --child-report CHANNEL`: this program started again by a
// validator for one check (how the Windows build isolates a check). Runs it
// as the validator's child and writes its text to the channel the parent
// named. Returns the exit status.
int ServeAsChild(const Check& check, const CheckContext& context, const std::string& channel);

} // namespace validate
