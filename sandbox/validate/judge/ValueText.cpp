#include "validate/judge/ValueText.h"

#include <cstdio>

namespace validate {

std::string Num(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

std::string Num(float value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
    return buffer;
}

std::string Num(long value) {
    return std::to_string(value);
}

std::string Num(int value) {
    return std::to_string(value);
}

std::string Str(Vector v) {
    return "(" + Num(v.X) + ", " + Num(v.Y) + ", " + Num(v.Z) + ")";
}

std::string Str(Vector2F v) {
    return "(" + Num(v.X) + ", " + Num(v.Y) + ")";
}

std::string Str(Vector2 v) {
    return std::to_string(v.X) + "x" + std::to_string(v.Y);
}

std::string Str(Rotator r) {
    return "(" + std::to_string(r.Pitch) + ", " + std::to_string(r.Yaw) + ", " +
           std::to_string(r.Roll) + ")";
}

} // namespace validate
