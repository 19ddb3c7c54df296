#pragma once

#include <string>

#include "sim/Host.h"

namespace sandbox {

// The scenario file that replays the game `host` holds now as its one frame:
// mode, server, canvas size, camera and ball where they stand, and every
// registered console variable's value. Floats are written with nine
// significant digits, so ParseScenario reads back the very same bits and a
// render of the file makes the same calls. Throws InputError when the pose
// is one a scenario cannot hold (a coordinate past the format's bounds).
std::string PoseScenarioText(const sim::Host& host);

} // namespace sandbox
