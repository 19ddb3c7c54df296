#pragma once

#include <atomic>
#include <memory>
#include <stdexcept>
#include <string>

namespace sandbox {

// A run stopped because it was asked to: SIGINT (Ctrl-C), SIGTERM or SIGHUP,
// or on Windows Ctrl-C, Ctrl-Break or the console closing. Thrown from the
// loops that ask, so the stack unwinds as after any failure: partial outputs'
// temporaries and the module's private copies are removed on the way, and
// what the user had stays as it was.
class Interrupted : public std::runtime_error {
public:
    explicit Interrupted(int signal);
    int Signal() const { return signal_; }
    // 128 plus the signal's number, as a shell reports a program a signal ended.
    int ExitStatus() const { return 128 + signal_; }

private:
    int signal_;
};

// "SIGINT", "SIGTERM", "SIGHUP", or "signal N".
std::string SignalName(int signal);

// From construction on, SIGINT, SIGTERM and SIGHUP no longer end the program
// where it stands: they ask it to stop, and the program's loops stop at the
// next point they look (ThrowIfRequested). A program that has not stopped
// `grace` seconds after the request (a write blocked on a reader that never
// reads), or that receives a second request, is ended at once with the same
// status, saying so; what it left behind is found and reused or removed by the
// next run.
//
// Construct it first in main, before any thread starts: on POSIX the signals
// are blocked in the constructing thread, every later thread inherits that,
// and a thread of its own waits for them. One per process.
class Interruption {
public:
    explicit Interruption(int graceSeconds = 5);
    ~Interruption();
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;

    // The signal that asked the run to stop, or 0.
    int Signal() const { return state_->signal.load(); }
    // Throws Interrupted once a stop has been asked for.
    void ThrowIfRequested() const;

    // What the watcher shares with the platform's signal handling.
    struct State {
        std::atomic<int> signal{0};
        int graceSeconds = 5;
    };

private:
    std::shared_ptr<State> state_;
};

} // namespace sandbox
