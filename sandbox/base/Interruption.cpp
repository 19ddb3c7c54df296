#include "base/Interruption.h"

#include <csignal>

namespace sandbox {

Interrupted::Interrupted(int signal)
    : std::runtime_error("interrupted by " + SignalName(signal)), signal_(signal) {}

std::string SignalName(int signal) {
    switch (signal) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
#ifdef SIGHUP
    case SIGHUP:
        return "SIGHUP";
#endif
    default:
        return "signal " + std::to_string(signal);
    }
}

void Interruption::ThrowIfRequested() const {
    if (const int signal = Signal(); signal != 0) {
        throw Interrupted(signal);
    }
}

} // namespace sandbox
