#include "validate/checks/SelfTestChecks.h"

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace validate {

namespace {

void Abort(const CheckContext&) {
    std::abort();
}

void Crash(const CheckContext&) {
    // Straight to the default action: under AddressSanitizer a real fault
    // would end in its report and exit status instead of the signal.
    signal(SIGSEGV, SIG_DFL);
    raise(SIGSEGV);
}

void Hang(const CheckContext&) {
    for (;;) {
        pause();
    }
}

void FailPlainly(const CheckContext&) {
    Fail("failing on purpose");
}

constexpr Check kSelfTests[] = {
    {"selftest-abort", "aborts", Abort, 30},
    {"selftest-crash", "dies of a segmentation fault", Crash, 30},
    {"selftest-hang", "never returns", Hang, 2},
    {"selftest-fail", "fails with a reason", FailPlainly, 30},
};

} // namespace

std::span<const Check> SelfTestChecks() {
    return kSelfTests;
}

bool SelfTestsEnabled() {
    const char* value = std::getenv("QUELLMARK_VALIDATE_SELFTEST");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

} // namespace validate
