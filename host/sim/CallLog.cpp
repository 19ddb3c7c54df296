#include "sim/CallLog.h"

#include <cstdio>

#include "files/QuotedText.h"

namespace sim {

std::string FormatFloat(float value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(value));
    return buffer;
}

LogLine::LogLine(std::string_view operation) : text_(operation) {}

LogLine& LogLine::operator<<(float value) {
    text_ += ' ';
    text_ += FormatFloat(value);
    return *this;
}

LogLine& LogLine::operator<<(int value) {
    text_ += ' ';
    text_ += std::to_string(value);
    return *this;
}

LogLine& LogLine::operator<<(bool value) {
    text_ += value ? " true" : " false";
    return *this;
}

LogLine& LogLine::operator<<(std::string_view text) {
    // Quoted as the config quotes values: one line, whatever the text holds.
    text_ += ' ';
    files::AppendQuoted(text_, text);
    return *this;
}

LogLine& LogLine::operator<<(Vector value) {
    return *this << value.X << value.Y << value.Z;
}

LogLine& LogLine::operator<<(Vector2F value) {
    return *this << value.X << value.Y;
}

} // namespace sim
