#include "window/ModuleWatcher.h"

namespace sandbox {

ModuleWatcher::ModuleWatcher(std::filesystem::path path, std::chrono::milliseconds settle)
    : path_(std::move(path)), settle_(settle), changes_(path_) {}

bool ModuleWatcher::Changed() {
    if (!Watching()) {
        return false;
    }
    const Clock::time_point now = Clock::now();
    if (changes_.Happened()) {
        pending_ = true;
        lastChange_ = now;
    }
    if (!pending_ || now - lastChange_ < settle_) {
        return false;
    }
    if (!changes_.Present()) {
        // Deleted before the new one is written: wait for it.
        return false;
    }
    pending_ = false;
    return true;
}

} // namespace sandbox
