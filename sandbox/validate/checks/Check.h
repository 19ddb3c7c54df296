#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace validate {

// What every check is told: the module under test and the run's parameters.
struct CheckContext {
    std::string modulePath;  // absolute, UTF-8
    int cycles = 100;        // load/unload cycles
    std::uint64_t seed = 0;  // for the random frames
    std::string failuresDir; // absolute, UTF-8; breaching frames are written here
    // Asked while a check's child runs: true when the run is asked to stop
    // (Ctrl-C), and the child is then ended at once. None in the child.
    std::function<bool()> stopping;
};

// Whose expectations a check holds a module to: those of every plugin of this
// host, whatever it draws and registers, or Quellmark's own (its lines, its
// console variable, its panel).
enum class CheckGroup { EveryPlugin, Quellmark };

// The group's name as --list prints it.
inline const char* GroupName(CheckGroup group) {
    return group == CheckGroup::EveryPlugin ? "generic" : "quellmark";
}

// A named check. Each runs in a child process of its own, so a crash fails that
// check and not the validator. A check passes by returning and fails by
// throwing CheckFailure (see Fail).
struct Check {
    std::string_view name;
    std::string_view summary;
    void (*run)(const CheckContext& context);
    CheckGroup group = CheckGroup::EveryPlugin;
    // A check still running after this long, plus the per-cycle allowance
    // times the run's cycles, is ended and fails.
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

// What a probe (a check run to learn something, not to judge) found, carried
// out of it to its process's exit like a failure's reason, but as a pass.
class CheckAnswer : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] inline void Answer(const std::string& text) {
    throw CheckAnswer(text);
}

} // namespace validate
