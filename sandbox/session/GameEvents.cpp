#include "session/GameEvents.h"

#include "sim/GameFunctions.h"

namespace sandbox {

void FireSessionStart(sim::Host& host) {
    switch (host.mode) {
    case sim::GameMode::Freeplay:
        host.FireHook(sim::kFreeplayInit);
        break;
    case sim::GameMode::CustomTraining:
        host.FireHook(sim::kTrainingStartPlayTest);
        break;
    case sim::GameMode::Replay:
    case sim::GameMode::None:
        break;
    }
}

void FireFrameEvents(sim::Host& host) {
    if (host.mode == sim::GameMode::Freeplay || host.mode == sim::GameMode::CustomTraining) {
        host.FireHook(sim::kCarSetVehicleInput);
    }
}

void FireSessionEnd(sim::Host& host) {
    switch (host.mode) {
    case sim::GameMode::Freeplay:
        host.FireHook(sim::kSoccarDestroyed);
        break;
    case sim::GameMode::CustomTraining:
        host.FireHook(sim::kTrainingDestroyed);
        break;
    case sim::GameMode::Replay:
    case sim::GameMode::None:
        break;
    }
}

} // namespace sandbox
