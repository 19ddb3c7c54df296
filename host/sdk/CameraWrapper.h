#pragma once

#include "sdk/ActorWrapper.h"
#include "sdk/Rotator.h"

// The player's view. A null handle answers zeros for every reading.
class PLUGINSDK_API CameraWrapper : public ActorWrapper {
public:
    CameraWrapper(sim::Host* host, sim::Actor* camera);

    Vector GetLocation() const;
    Rotator GetRotation() const;
    // Full horizontal field of view, in degrees.
    float GetFOV() const;
};
