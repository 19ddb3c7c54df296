#include "ModuleWatcher.h"

#include <windows.h>

namespace sandbox {

namespace {

std::uint64_t Ticks(const FILETIME& time) {
    return (std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

} // namespace

// Windows side: a poll of the file's attributes on each Changed. Changed runs
// once a frame, so one look a frame is all it costs. The system's own times
// are read (100 ns steps; the C library's stat has whole seconds, which would
// miss a same-sized rebuild within the second), and a file renamed over the
// module shows as a new creation time.
ModuleWatcher::ModuleWatcher(std::filesystem::path path, std::chrono::milliseconds settle)
    : path_(std::move(path)), name_(path_.filename().string()), settle_(settle) {
    inotify_ = 0;
    Drain();
}

ModuleWatcher::~ModuleWatcher() = default;

bool ModuleWatcher::Drain() {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const bool present = GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data) != 0 &&
                         (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    const std::uint64_t created = present ? Ticks(data.ftCreationTime) : 0;
    const std::uint64_t written = present ? Ticks(data.ftLastWriteTime) : 0;
    const std::uint64_t size =
        present ? (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow : 0;
    const bool changed = present != seenPresent_ || created != seenCreated_ ||
                         written != seenWritten_ || size != seenSize_;
    seenPresent_ = present;
    seenCreated_ = created;
    seenWritten_ = written;
    seenSize_ = size;
    return changed;
}

bool ModuleWatcher::Changed() {
    const Clock::time_point now = Clock::now();
    if (Drain()) {
        pending_ = true;
        lastChange_ = now;
    }
    if (!pending_ || now - lastChange_ < settle_) {
        return false;
    }
    if (!seenPresent_) {
        // Deleted before the new one is written: wait for it.
        return false;
    }
    pending_ = false;
    return true;
}

} // namespace sandbox
