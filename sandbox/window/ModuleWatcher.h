#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

namespace sandbox {

// Notices when the file at `path` is written or replaced (a rebuild writes a
// new module), and reports it once the file has settled: no change seen for
// `settle`, so a file still being written is not taken. Watches the folder
// with inotify, since a rebuild usually puts a new file in the old one's
// place, which a watch on the file itself would not see. On Windows
// (ModuleWatcherWindows.cpp) the file's times and size are polled.
class ModuleWatcher {
public:
    explicit ModuleWatcher(std::filesystem::path path,
                           std::chrono::milliseconds settle = std::chrono::milliseconds(250));
    ~ModuleWatcher();
    ModuleWatcher(const ModuleWatcher&) = delete;
    ModuleWatcher& operator=(const ModuleWatcher&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // False when the folder cannot be watched; Changed is then always false.
    bool Watching() const { return inotify_ >= 0; }
    // True once for each settled change. Never waits.
    bool Changed();

private:
    using Clock = std::chrono::steady_clock;

    // Reads what inotify has queued; true when any of it is about the file.
    bool Drain();

    std::filesystem::path path_;
    std::string name_;
    std::chrono::milliseconds settle_;
    int inotify_ = -1; // on Windows 0 while watching: there is no descriptor
#ifdef _WIN32
    // What the last poll saw of the file: a change is any difference.
    bool seenPresent_ = false;
    std::uint64_t seenCreated_ = 0;
    std::uint64_t seenWritten_ = 0;
    std::uint64_t seenSize_ = 0;
#endif
    bool pending_ = false;
    Clock::time_point lastChange_;
};

} // namespace sandbox
