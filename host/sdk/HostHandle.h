#pragma once

#include <cstddef>
#include <cstdint>

#include "sdk/SdkExport.h"

namespace sim {
class Host;
}

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

PLUGINSDK_API const char* HandleKindName(HandleKind kind);

// Common part of every host handle. A handle is a small value naming an object
// the host owns; plugins copy and destroy handles freely, and the host counts
// them: every copy must be destroyed exactly once. The host that issued a
// handle outlives it, as the game outlives its plugins.
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
