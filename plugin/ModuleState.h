#pragma once

#include <memory>

#include "sdk/CVarManagerWrapper.h"

// A second owner of the host's console, taken at load and held until the
// module unloads. Nothing in the module reads it. It is kept because what it
// holds is visible to the host: the console handle outlives the plugin until
// the module goes (and is destroyed before the module's reference to the
// plugin), and it is the module-wide way to the console that code outside the
// plugin class would use.
extern std::shared_ptr<CVarManagerWrapper> g_cvarManager;
