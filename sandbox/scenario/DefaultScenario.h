#pragma once

#include <string_view>

namespace sandbox {

// The scenario used when none is given: freeplay, the ball touring the field,
// a camera following it, the overlay switched on. Written in the same JSON a
// scenario file uses, so it doubles as an example of the format.
std::string_view DefaultScenarioText();

inline constexpr const char* kDefaultScenarioName = "(embedded default scenario)";

} // namespace sandbox
