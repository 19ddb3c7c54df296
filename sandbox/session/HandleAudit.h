#pragma once

#include <array>
#include <string>
#include <vector>

#include "sim/Host.h"

namespace sandbox {

// The host handles a plugin keeps that it must not: made during a frame and
// still alive when the frame has returned, or still alive once the plugin is
// unloaded. Counted by kind from the host's live counts, so it costs nothing
// while the frame runs.
class HandleAudit {
public:
    void FrameBegins(const sim::Host& host);
    void FrameEnded(const sim::Host& host, int frame);
    void PluginUnloaded(const sim::Host& host);

    // One line per kind and finding, e.g. "3 CanvasWrapper handles made in
    // frames 1 to 3 outlived their frame"; empty when the plugin kept none.
    std::vector<std::string> Findings() const;

private:
    struct Kept {
        long count = 0;
        int firstFrame = 0;
        int lastFrame = 0;
    };
    std::array<long, kHandleKindCount> atFrameStart_{};
    std::array<Kept, kHandleKindCount> keptPastFrames_{};
    std::array<long, kHandleKindCount> aliveAfterUnload_{};
};

} // namespace sandbox
