#include "base/Interruption.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <thread>

#include <pthread.h>
#include <unistd.h>

namespace sandbox {

namespace {

sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    return signals;
}

// Ends the process now, without unwinding: async-signal-safe calls only from
// here on, as other threads may hold any lock.
[[noreturn]] void EndNow(int signal, const char* why) {
    const std::string message = "quellmark-sandbox: " + SignalName(signal) + why;
    [[maybe_unused]] const ssize_t written = ::write(2, message.data(), message.size());
    ::_exit(128 + signal);
}

// The watcher: waits for the signals the process has blocked, a fifth of a
// second at a time, so that it never outlives its purpose for long.
void Watch(std::shared_ptr<Interruption::State> state, sigset_t signals) {
    constexpr timespec kWait{0, 200'000'000};
    std::chrono::steady_clock::time_point deadline{};
    for (;;) {
        siginfo_t info;
        const int signal = ::sigtimedwait(&signals, &info, &kWait);
        const int asked = state->signal.load();
        if (signal > 0 && asked == 0) {
            state->signal = signal;
            deadline = std::chrono::steady_clock::now() + std::chrono::seconds(state->graceSeconds);
        } else if (signal > 0) {
            EndNow(asked, " again: ending now\n");
        } else if (asked != 0 && std::chrono::steady_clock::now() > deadline) {
            EndNow(asked, ": the run did not stop in time; ending now\n");
        }
    }
}

} // namespace

Interruption::Interruption(int graceSeconds) : state_(std::make_shared<State>()) {
    state_->graceSeconds = graceSeconds;
    const sigset_t signals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    // Detached: it lives until the process ends, and owns its share of the state.
    std::thread(Watch, state_, signals).detach();
}

Interruption::~Interruption() = default;

} // namespace sandbox
