#pragma once

#include <functional>
#include <string>

#include "sdk/CameraWrapper.h"
#include "sdk/CanvasWrapper.h"
#include "sdk/HostHandle.h"
#include "sdk/ServerWrapper.h"

// The game as a whole: its mode, its objects, and the plugin's ways in.
class PLUGINSDK_API GameWrapper : public HostHandle {
public:
    explicit GameWrapper(sim::Host* host);

    // Runs `callback` with the function's name whenever that game function runs.
    void HookEvent(std::string eventName, std::function<void(std::string)> callback);
    // Runs `callback` once per rendered frame with that frame's canvas.
    void RegisterDrawable(std::function<void(CanvasWrapper)> callback);

    bool IsInCustomTraining() const;
    bool IsInFreeplay() const;
    bool IsInReplay() const;

    ServerWrapper GetGameEventAsServer() const;
    CameraWrapper GetCamera() const;
};
