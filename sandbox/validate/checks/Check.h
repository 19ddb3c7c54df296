#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace validate {

// What every check is told: the module under test and the run's parameters.
struct CheckContext {
    std::string modulePath;  // absolute
    int cycles = 100;        // load/unload cycles
    std::uint64_t seed = 0;  // for the random frames
    std::string failuresDir; // absolute; breaching frames are written here
};

// A named check. Each runs in a child process of its own, so a crash fails that
// check and not the validator. A check passes by returning and fails by
// throwing CheckFailure (see Fail).
struct Check {
    std::string_view name;
    std::string_view summary;
    void (*run)(const CheckContext& context);
    // A check still running after this long, plus the per-cycle allowance
    // times the run's cycles, is killed and fails.
    int timeoutSeconds = 120;
    int timeoutSecondsPerCycle = 0;

    int TimeoutFor(const CheckContext& context) const {
        return timeoutSeconds + timeoutSecondsPerCycle * context.cycles;
    }
};

// The reason a check failed, carried out of the check to its process's exit.
class CheckFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] inline void Fail(const std::string& reason) {
    throw CheckFailure(reason);
}

inline void Require(bool condition, const std::string& reason) {
    if (!condition) {
        Fail(reason);
    }
}

} // namespace validate
