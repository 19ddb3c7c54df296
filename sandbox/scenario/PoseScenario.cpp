#include "scenario/PoseScenario.h"

#include <cmath>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "base/InputError.h"
#include "scenario/ScenarioParser.h"

namespace sandbox {

namespace {

// Nine significant digits read back to the same float; JSON has no
// non-finite numbers, so those are the texts a file with host bounds takes.
std::string Number(float value) {
    if (std::isnan(value)) {
        return "\"nan\"";
    }
    if (std::isinf(value)) {
        return value > 0 ? "\"inf\"" : "\"-inf\"";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

std::string Point(Vector point) {
    return "[" + Number(point.X) + ", " + Number(point.Y) + ", " + Number(point.Z) + "]";
}

std::string Quoted(const std::string& text) {
    return nlohmann::json(text).dump();
}

// The scenario's fields after the opening brace, for the pose `host` holds.
std::string PoseFields(const sim::Host& host) {
    std::string text;
    text += "  \"mode\": " + Quoted(sim::GameModeName(host.mode)) + ",\n";
    text += std::string("  \"server\": ") + (host.serverPresent ? "true" : "false") + ",\n";
    text += "  \"canvas\": [" + std::to_string(host.canvasSize.X) + ", " +
            std::to_string(host.canvasSize.Y) + "],\n";
    text += "  \"camera\": ";
    if (host.camera) {
        const Rotator& rotation = host.camera->rotation;
        text += "{\"location\": " + Point(host.camera->location) + ", \"rotation\": [" +
                std::to_string(rotation.Pitch) + ", " + std::to_string(rotation.Yaw) + ", " +
                std::to_string(rotation.Roll) + "], \"fov\": " + Number(host.camera->fov) + "}";
    } else {
        text += "null";
    }
    text += ",\n  \"ball\": " + (host.ball ? Point(host.ball->location) : std::string("null"));
    text += ",\n  \"cvars\": {";
    const char* separator = "";
    for (const auto& [name, variable] : host.console.Variables()) {
        text += separator + Quoted(name) + ": " + Quoted(variable.value);
        separator = ", ";
    }
    text += "},\n  \"frames\": 1\n}\n";
    return text;
}

} // namespace

std::string PoseScenarioText(const sim::Host& host) {
    const std::string pose = PoseFields(host);
    // An ordinary scenario where the pose fits one, so the file stays as
    // strict as any other; else one marked with host bounds.
    try {
        std::string text = "{\n" + pose;
        ParseScenario(text, "the pose");
        return text;
    } catch (const InputError&) {
    }
    std::string text = "{\n  \"bounds\": \"host\",\n" + pose;
    // What cannot be read back even so is refused here, not when replayed.
    ParseScenario(text, "the pose");
    return text;
}

} // namespace sandbox
