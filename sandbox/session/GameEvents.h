#pragma once

#include "sim/Host.h"

namespace sandbox {

// The game functions a running game calls, fired through the host's hooks
// so a plugin's subscriptions see them as they would in the game: a session
// starting and ending for the mode, and car input every frame.
void FireSessionStart(sim::Host& host);
void FireFrameEvents(sim::Host& host);
void FireSessionEnd(sim::Host& host);

} // namespace sandbox
