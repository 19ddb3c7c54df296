#pragma once

#include <cstdio>
#include <string_view>

#include "sim/CallLog.h"

namespace sandbox {

// Prints the plugin's SDK calls as the call log recorded them, one per line,
// each group after a header line ("load", "frame N", "unload"). Inactive
// writers print nothing, so callers need not ask. A section that cannot be
// written whole (a full disk, a reader that went away) throws
// files::WriteFailed: a cut trace is a failed run, not a finished one.
class TraceWriter {
public:
    TraceWriter(std::FILE* out, bool active) : out_(out), active_(active) {}

    bool Active() const { return active_; }

    // Prints `header` and the calls logged since the last section, then
    // forgets them.
    void Section(std::string_view header, sim::CallLog& log);

private:
    std::FILE* out_;
    bool active_;
};

} // namespace sandbox
