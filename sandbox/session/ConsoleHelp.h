#pragma once

#include "sim/Console.h"

namespace sandbox {

// The console's own help: `help` names every command and variable and says
// how a line is read; `cvarlist` lists each variable with its value, its
// default and its description.
void AddConsoleHelp(sim::Console& console);

} // namespace sandbox
