#pragma once

#include "sdk/BallWrapper.h"

// The running game event. A null server (no game running) hands out a null ball.
class PLUGINSDK_API ServerWrapper : public HostHandle {
public:
    ServerWrapper(sim::Host* host, bool present);

    bool IsNull() const;
    // A null ball when there is none.
    BallWrapper GetBall() const;

private:
    bool present_;
};
