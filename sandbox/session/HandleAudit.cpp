#include "session/HandleAudit.h"

namespace sandbox {

namespace {

std::string Handles(long count, HandleKind kind) {
    return std::to_string(count) + " " + HandleKindName(kind) +
           (count == 1 ? " handle" : " handles");
}

} // namespace

void HandleAudit::FrameBegins(const sim::Host& host) {
    for (std::size_t kind = 0; kind < kHandleKindCount; ++kind) {
        atFrameStart_[kind] = host.LiveHandles(HandleKind(kind));
    }
}

void HandleAudit::FrameEnded(const sim::Host& host, int frame) {
    for (std::size_t kind = 0; kind < kHandleKindCount; ++kind) {
        const long kept = host.LiveHandles(HandleKind(kind)) - atFrameStart_[kind];
        if (kept <= 0) {
            continue;
        }
        Kept& total = keptPastFrames_[kind];
        if (total.count == 0) {
            total.firstFrame = frame;
        }
        total.count += kept;
        total.lastFrame = frame;
    }
}

void HandleAudit::PluginUnloaded(const sim::Host& host) {
    for (std::size_t kind = 0; kind < kHandleKindCount; ++kind) {
        aliveAfterUnload_[kind] = host.LiveHandles(HandleKind(kind));
    }
}

std::vector<std::string> HandleAudit::Findings() const {
    std::vector<std::string> findings;
    for (std::size_t kind = 0; kind < kHandleKindCount; ++kind) {
        if (const Kept& kept = keptPastFrames_[kind]; kept.count > 0) {
            findings.push_back(Handles(kept.count, HandleKind(kind)) + " made in " +
                               (kept.firstFrame == kept.lastFrame
                                    ? "frame " + std::to_string(kept.firstFrame)
                                    : "frames " + std::to_string(kept.firstFrame) + " to " +
                                          std::to_string(kept.lastFrame)) +
                               (kept.count == 1 ? " outlived its frame" : " outlived their frame"));
        }
    }
    for (std::size_t kind = 0; kind < kHandleKindCount; ++kind) {
        if (aliveAfterUnload_[kind] != 0) {
            findings.push_back(Handles(aliveAfterUnload_[kind], HandleKind(kind)) +
                               " still alive after the plugin was unloaded");
        }
    }
    return findings;
}

} // namespace sandbox
