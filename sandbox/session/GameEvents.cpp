#include "GameEvents.h"

namespace sandbox {

void FireSessionStart(sim::Host& host) {
    switch (host.mode) {
    case sim::GameMode::Freeplay:
        host.FireHook("Function TAGame.Mutator_Freeplay_TA.Init");
        break;
    case sim::GameMode::CustomTraining:
        host.FireHook("Function TAGame.GameEvent_TrainingEditor_TA.StartPlayTest");
        break;
    case sim::GameMode::Replay:
    case sim::GameMode::None:
        break;
    }
}

void FireFrameEvents(sim::Host& host) {
    if (host.mode == sim::GameMode::Freeplay || host.mode == sim::GameMode::CustomTraining) {
        host.FireHook("Function TAGame.Car_TA.SetVehicleInput");
    }
}

void FireSessionEnd(sim::Host& host) {
    switch (host.mode) {
    case sim::GameMode::Freeplay:
        host.FireHook("Function TAGame.GameEvent_Soccar_TA.Destroyed");
        break;
    case sim::GameMode::CustomTraining:
        host.FireHook("Function TAGame.GameEvent_TrainingEditor_TA.Destroyed");
        break;
    case sim::GameMode::Replay:
    case sim::GameMode::None:
        break;
    }
}

} // namespace sandbox
