#include "validate/checks/SelfTestChecks.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <signal.h>
#endif

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "validate/checks/ChildProcess.h"

namespace validate {

namespace {

void Abort(const CheckContext&) {
    std::abort();
}

void Crash(const CheckContext&) {
#if defined(_WIN32)
    // A write through a null pointer the compiler cannot see is one.
    volatile int* volatile nowhere = nullptr;
    *nowhere = 0;
#else
    // Straight to the default action: under AddressSanitizer a real fault
    // would end in its report and exit status instead of the signal.
    signal(SIGSEGV, SIG_DFL);
    raise(SIGSEGV);
#endif
}

// Each call keeps a page of its own on the stack: the stack runs out long
// before `depth` reaches `limit`.
int Deeper(int depth, int limit) {
    volatile char page[4096];
    page[0] = char(depth);
    return depth == limit ? 0 : Deeper(depth + 1, limit) + page[0];
}

void OverflowTheStack(const CheckContext&) {
    Fail("returned from a recursion a billion calls deep: " +
         std::to_string(Deeper(0, 1000000000)));
}

void Hang(const CheckContext&) {
    for (;;) {
        std::this_thread::sleep_for(std::chrono::hours(1));
    }
}

void FailPlainly(const CheckContext&) {
    Fail("failing on purpose");
}

void ShowLimits(const CheckContext&) {
    Fail("runs with " + OwnMemoryLimit());
}

constexpr Check kSelfTests[] = {
    {"selftest-abort", "aborts", Abort, CheckGroup::EveryPlugin, 30},
    {"selftest-crash", "dies of an access violation (a segmentation fault)", Crash,
     CheckGroup::EveryPlugin, 30},
    {"selftest-stack", "overflows its stack", OverflowTheStack, CheckGroup::EveryPlugin, 30},
    {"selftest-hang", "never returns", Hang, CheckGroup::EveryPlugin, 2},
    {"selftest-fail", "fails with a reason", FailPlainly, CheckGroup::EveryPlugin, 30},
    {"selftest-limits", "fails naming the memory limit it runs under", ShowLimits,
     CheckGroup::EveryPlugin, 30},
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
