#include "base/Interruption.h"

#include <csignal>
#include <cstdio>

#include <windows.h>

namespace sandbox {

namespace {

// The console's control handler is a plain function with no context, so the
// state it sets is reached through this one pointer, set once by the
// process's one Interruption and never cleared (the handler may still run
// while the process ends).
std::shared_ptr<Interruption::State>* g_interruptionState = nullptr;

// The signal a console event stands for: Ctrl-C and Ctrl-Break as SIGINT, the
// console closing as SIGHUP, logoff and shutdown as SIGTERM.
int SignalFor(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        return SIGINT;
    case CTRL_CLOSE_EVENT:
        return 1;
    default:
        return SIGTERM;
    }
}

// Runs on a thread the system starts for it. For Ctrl-C and Ctrl-Break,
// returning lets the program go on to stop at its next look; for the others
// the system ends the process as soon as this returns, so it waits for the
// program to stop, up to the grace time.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    Interruption::State& state = **g_interruptionState;
    const int signal = SignalFor(event);
    int expected = 0;
    if (!state.signal.compare_exchange_strong(expected, signal)) {
        std::fprintf(stderr, "quellmark-sandbox: %s again: ending now\n",
                     SignalName(expected).c_str());
        std::fflush(stderr);
        ::ExitProcess(128 + expected);
    }
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        return TRUE;
    }
    ::Sleep(DWORD(state.graceSeconds) * 1000);
    return TRUE;
}

} // namespace

Interruption::Interruption(int graceSeconds) : state_(std::make_shared<State>()) {
    state_->graceSeconds = graceSeconds;
    g_interruptionState = new std::shared_ptr<State>(state_);
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

Interruption::~Interruption() = default;

} // namespace sandbox
