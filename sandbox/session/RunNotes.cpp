#include "session/RunNotes.h"

#include "files/QuotedText.h"
#include "session/ConfigLocation.h"

namespace sandbox {

std::string ConfigNote(const ConfigOutcome& outcome) {
    const std::string path = outcome.path.string();
    if (outcome.disabled) {
        return "config: none (--no-config)";
    }
    if (outcome.path.empty()) {
        return "config: none (" + std::string(ConfigEnvironmentMissing()) + ")";
    }
    if (!outcome.existed) {
        return "config: none; " + path + " does not exist yet";
    }
    if (outcome.unreadable) {
        return "config: none; " + path + " was not usable";
    }
    return "config: loaded " + path + " (" + std::to_string(outcome.variables) +
           (outcome.variables == 1 ? " variable)" : " variables)");
}

namespace {

// "from the saved config", "from --set", ...; a value nothing gave is the
// plugin's "default".
std::string OriginText(const std::string& origin) {
    return origin == "default" ? origin : "from " + origin;
}

} // namespace

std::string FirstFrameNote(const sim::Host& host) {
    std::string note = "frame 1:";
    const char* separator = " ";
    for (const auto& [name, variable] : host.console.Variables()) {
        note += separator + name + " " + files::Quoted(variable.value) + " (" +
                (variable.BoolValue() ? "on" : "off") + ", " + OriginText(variable.origin) + ")";
        separator = ", ";
    }
    if (host.console.Variables().empty()) {
        note += " no console variables registered";
    }
    const std::size_t lines = host.lines.size();
    return note + ", " + std::to_string(lines) + (lines == 1 ? " line drawn" : " lines drawn");
}

} // namespace sandbox
