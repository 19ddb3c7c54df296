#pragma once

#include "sdk/ActorWrapper.h"

// The ball: an actor, nothing more is asked of it.
class PLUGINSDK_API BallWrapper : public ActorWrapper {
public:
    BallWrapper(sim::Host* host, sim::Actor* ball);
};
