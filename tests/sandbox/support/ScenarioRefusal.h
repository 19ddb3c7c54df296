#pragma once

#include <string>

#include "base/InputError.h"
#include "scenario/ScenarioParser.h"

namespace sandbox {

// The message ParseScenario refuses `text` with, or "" if it accepts it.
inline std::string Refusal(const std::string& text) {
    try {
        ParseScenario(text, "s.json");
    } catch (const InputError& error) {
        return error.what();
    }
    return "";
}

} // namespace sandbox
