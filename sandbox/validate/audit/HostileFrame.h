#pragma once

#include <optional>
#include <string>

#include "sdk/Vector.h"
#include "sim/Host.h"
#include "validate/audit/Random.h"

namespace validate {

// One frame of the simulated game, drawn at random and meant to hurt: cameras
// anywhere and turned any way, degenerate and extreme fields of view and
// canvases, balls at non-finite, huge and coinciding positions, objects absent.
struct HostileFrame {
    sim::GameMode mode = sim::GameMode::Freeplay;
    bool flagOn = true;
    bool serverPresent = true;
    std::optional<sim::Actor> ball;
    std::optional<sim::Actor> camera;
    Vector2 canvas{1600, 900};

    static HostileFrame Draw(Random& random);

    // Puts this frame's game state into the host (qm_enabled through its console).
    void ApplyTo(sim::Host& host) const;
    // True when the plugin should draw at all: on, in a mode of its own, with
    // server, ball and camera there.
    bool OverlayApplies() const;
    std::string Describe() const;
};

} // namespace validate
