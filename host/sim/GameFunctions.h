#pragma once

// The game functions the simulated game runs, by the names hooks subscribe
// to: a freeplay session starting, a match or freeplay session ending, a
// custom-training play test starting and ending, and a car's input every
// frame of play.
namespace sim {

inline constexpr const char* kFreeplayInit = "Function TAGame.Mutator_Freeplay_TA.Init";
inline constexpr const char* kSoccarDestroyed = "Function TAGame.GameEvent_Soccar_TA.Destroyed";
inline constexpr const char* kTrainingStartPlayTest =
    "Function TAGame.GameEvent_TrainingEditor_TA.StartPlayTest";
inline constexpr const char* kTrainingDestroyed =
    "Function TAGame.GameEvent_TrainingEditor_TA.Destroyed";
inline constexpr const char* kCarSetVehicleInput = "Function TAGame.Car_TA.SetVehicleInput";

} // namespace sim
