#pragma once

#include "validate/ValidateOptions.h"

namespace sandbox {
class Interruption;
}

namespace validate {

// `quellmark-sandbox validate`: runs the chosen checks on the plugin module,
// each in a child process of its own, printing "PASS name" or "FAIL name:
// reason" for each and last "N passed, N failed". Returns 0 when every check
// passed, 1 when any failed; throws sandbox::InputError for a check name or
// module it cannot run, and sandbox::Interrupted when asked to stop (the
// running check's child ended with it).
int RunValidate(const ValidateOptions& options, const sandbox::Interruption& interruption);

} // namespace validate
