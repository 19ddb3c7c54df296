#pragma once

#include <string>

#include "sdk/CVarWrapper.h"
#include "sdk/HostHandle.h"

// The host's console: variables and commands. Never null.
class PLUGINSDK_API CVarManagerWrapper : public HostHandle {
public:
    explicit CVarManagerWrapper(sim::Host* host);

    // Registers a variable, or returns the existing one of that name unchanged.
    // A value the host already holds for the name (from its saved configuration
    // or typed before the plugin loaded) replaces the default.
    CVarWrapper registerCvar(std::string name, std::string defaultValue,
                             std::string description = "", bool searchable = true,
                             bool hasMin = false, float min = 0.0f, bool hasMax = false,
                             float max = 0.0f, bool saveToConfig = true);
    // The variable of that name; a null handle when none is registered.
    CVarWrapper getCvar(std::string name);
    // Runs a console line, as if typed: "name value" sets a variable, and the
    // host's own commands ("writeconfig") run. `log` echoes it to the console.
    void executeCommand(std::string command, bool log = true);
};
