#pragma once

#include <functional>
#include <string>

#include "sdk/CameraWrapper.h"
#include "sdk/CanvasWrapper.h"
#include "sdk/HostHandle.h"
#include "sdk/ServerWrapper.h"

// The game as a whole: its mode, its objects, and the plugin's ways in.
//
// Registered callables: the host keeps them from registration until it unloads
// the plugin (after onUnload and release it drops them, and runs none of them
// once onUnload has begun). They do not keep the plugin alive: a callable
// holds the plugin by a plain pointer, never by an owning reference, which
// would make the host's registrations an owner and the plugin outlive release.
// Each runs on the game thread; its arguments are valid during the call only.
class PLUGINSDK_API GameWrapper : public HostHandle {
public:
    explicit GameWrapper(sim::Host* host);

    // Runs `callback` each time the game function `eventName` runs
    // ("Function TAGame.Car_TA.SetVehicleInput"), with its name as an owned copy.
    void HookEvent(std::string eventName, std::function<void(std::string)> callback);
    // Runs `callback` once per rendered frame with that frame's canvas, which
    // must not be kept past the call (CanvasWrapper.h).
    void RegisterDrawable(std::function<void(CanvasWrapper)> callback);

    // The game's mode now; at most one of the three is true.
    bool IsInCustomTraining() const;
    bool IsInFreeplay() const;
    bool IsInReplay() const;

    // The running game event; a null server when none runs.
    ServerWrapper GetGameEventAsServer() const;
    // The player's view; a null camera when there is none.
    CameraWrapper GetCamera() const;
};
