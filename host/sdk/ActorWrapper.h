#pragma once

#include "sdk/HostHandle.h"
#include "sdk/Vector.h"

namespace sim {
struct Actor;
}

// An object placed in the game world. A null handle (no such actor) answers
// IsNull() with true and the origin for its location.
class PLUGINSDK_API ActorWrapper : public HostHandle {
public:
    bool IsNull() const;
    Vector GetLocation() const;

    // For the host: a handle to `actor`, or a null handle when it is nullptr.
    ActorWrapper(sim::Host* host, sim::Actor* actor, HandleKind kind = HandleKind::Actor);

protected:
    sim::Actor* actor_;
};
