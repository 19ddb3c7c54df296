#pragma once

#include <memory>

#include "sdk/CVarManagerWrapper.h"

// A second owner of the host's console, taken at load and held until the
// module unloads.
extern std::shared_ptr<CVarManagerWrapper> g_cvarManager;
