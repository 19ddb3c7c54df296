#pragma once

#include <string>

#include "sim/Console.h"

namespace sandbox {

// The caption under the game picture: `head`, then every registered console
// variable as "  name value", in name order.
std::string CaptionWithVariables(std::string head, const sim::Console& console);

} // namespace sandbox
