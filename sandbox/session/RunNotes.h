#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "sim/Host.h"

namespace sandbox {

// What a run says about itself on stderr, so that a blank overlay always has a
// word why: which configuration it read, and the console variables as the
// first frame is drawn.

// How the run's configuration went, as ConfigNote words it.
struct ConfigOutcome {
    std::filesystem::path path; // empty: the run has no config
    bool disabled = false;      // --no-config
    bool existed = false;
    bool unreadable = false; // could not be read or parsed; its warning said why
    std::size_t variables = 0;
};

// "config: loaded PATH (1 variable)", "config: none; PATH does not exist yet",
// "config: none (--no-config)", ...
std::string ConfigNote(const ConfigOutcome& outcome);

// "frame 1: qm_enabled "1" (on, from the saved config), 8 lines drawn": each
// registered variable's value, how the host reads it as a switch and where
// the value came from, and what the plugin drew.
std::string FirstFrameNote(const sim::Host& host);

} // namespace sandbox
