#pragma once

namespace sandbox {

// The program's exit statuses, the same for every subcommand.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitBadInput = 2;

} // namespace sandbox
