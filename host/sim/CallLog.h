#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sdk/SdkExport.h"
#include "sdk/Vector.h"

namespace sim {

// One logged call: the operation's name, then its arguments separated by
// spaces. Floats print with %.9g (enough to read back the exact float),
// vectors as their components, texts in double quotes (escaped as
// files/QuotedText.h says, so a line never breaks), bools as true/false.
class PLUGINSDK_API LogLine {
public:
    explicit LogLine(std::string_view operation);

    LogLine& operator<<(float value);
    LogLine& operator<<(int value);
    LogLine& operator<<(bool value);
    LogLine& operator<<(std::string_view text);
    LogLine& operator<<(Vector value);
    LogLine& operator<<(Vector2F value);

    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

PLUGINSDK_API std::string FormatFloat(float value);

// The in-order record of every SDK call the plugin makes. Off by default, so
// that a frame that is not being watched costs no formatting.
struct PLUGINSDK_API CallLog {
    // Record the plugin's SDK calls.
    bool calls = false;
    // Also record each handle made ("+Kind") and destroyed ("-Kind").
    bool handles = false;

    std::vector<std::string> lines;

    void Add(const LogLine& line) { lines.push_back(line.Text()); }
    // Records the call `operation` with its arguments, when calls are being
    // recorded; otherwise formats nothing. Inline: every SDK call asks.
    template <typename... Arguments>
    void Record(std::string_view operation, const Arguments&... arguments) {
        if (calls) {
            Add((LogLine(operation) << ... << arguments));
        }
    }
    void Clear() { lines.clear(); }
};

} // namespace sim
