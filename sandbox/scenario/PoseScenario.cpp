#include "PoseScenario.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include "ScenarioParser.h"

namespace sandbox {

namespace {

std::string Number(float value) {
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

} // namespace

std::string PoseScenarioText(const sim::Host& host) {
    std::string text = "{\n";
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
    // What cannot be read back is refused here, not when it is replayed.
    ParseScenario(text, "the pose");
    return text;
}

} // namespace sandbox
