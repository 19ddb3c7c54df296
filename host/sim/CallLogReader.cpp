#include "sim/CallLogReader.h"

#include <cstdlib>
#include <string>

namespace sim {

std::optional<Vector> ProjectedPoint(std::string_view line) {
    constexpr std::string_view prefix = "ProjectF ";
    if (line.substr(0, prefix.size()) != prefix) {
        return std::nullopt;
    }
    const std::string text(line.substr(prefix.size()));
    const char* cursor = text.c_str();
    float coordinates[3];
    for (float& coordinate : coordinates) {
        char* next = nullptr;
        coordinate = std::strtof(cursor, &next);
        if (next == nullptr || next == cursor) {
            return std::nullopt;
        }
        cursor = next;
    }
    return Vector{coordinates[0], coordinates[1], coordinates[2]};
}

} // namespace sim
