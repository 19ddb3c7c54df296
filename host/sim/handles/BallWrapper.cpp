#include "sdk/BallWrapper.h"

BallWrapper::BallWrapper(sim::Host* host, sim::Actor* ball)
    : ActorWrapper(host, ball, HandleKind::Ball) {}
