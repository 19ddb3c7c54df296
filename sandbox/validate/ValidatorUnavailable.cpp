// The validate command where the validator is not built (Windows): its checks
// isolate themselves in forked child processes and read POSIX signals,
// resource limits and the C library's heap figures, none of which this build
// has. The command says so, as bad input (exit 2), instead of running a part
// of the checks.

#include "base/InputError.h"
#include "validate/Validator.h"

namespace validate {

int RunValidate(const ValidateOptions&) {
    throw sandbox::InputError(
        "not available in the Windows build: the validator runs each check in a forked child "
        "process and reads POSIX signals, resource limits and heap figures; run it on Linux");
}

} // namespace validate
