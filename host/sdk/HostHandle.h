#pragma once

#include <cstddef>
#include <cstdint>

#include "sdk/SdkExport.h"

namespace sim {
class Host;
}

// What a handle names, for the host's count and log of handles.
enum class HandleKind : std::uint8_t {
    Game,
    Server,
    Actor,
    Ball,
    Camera,
    Canvas,
    CVarManager,
    CVar,
};

inline constexpr std::size_t kHandleKindCount = std::size_t(HandleKind::CVar) + 1;

// The SDK class a kind belongs to ("CameraWrapper").
PLUGINSDK_API const char* HandleKindName(HandleKind kind);

// Common part of every host handle: a small value naming an object the host
// owns. Handles own nothing, and a plugin receives them only from the host
// (the constructors taking a sim::Host are the host's).
//
// Copies: made and destroyed freely; the host counts them, and every copy must
// be destroyed exactly once. A move is a copy.
// Lifetime: a handle obtained during a call from the host (a drawable's canvas,
// the server, ball and camera read in a frame) is destroyed before that call
// returns. Only handles the plugin keeps on purpose (its two host references,
// a cached variable) outlive a call, and none outlives the module. The host
// outlives every handle it issued, as the game outlives its plugins.
// Null: a handle to no object (no game running, no ball, no camera, a variable
// not registered) is a valid value all the same: copied and destroyed like any
// other; IsNull() answers true, readings answer zero, false, the origin or
// another null handle, and writes are ignored. Game, canvas and console
// handles are never null.
class PLUGINSDK_API HostHandle {
public:
    HostHandle(const HostHandle& other);
    HostHandle& operator=(const HostHandle& other);
    ~HostHandle();

protected:
    HostHandle(sim::Host* host, HandleKind kind);

    sim::Host* host_;

private:
    HandleKind kind_;
};
