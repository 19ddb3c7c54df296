#pragma once

#include <chrono>
#include <filesystem>

#include "window/FileChanges.h"

namespace sandbox {

// Notices when the file at `path` is written or replaced (a rebuild writes a
// new module), and reports it once the file has settled: no change seen for
// `settle`, so a file still being written is not taken. The noticing itself
// is the platform's (FileChanges).
class ModuleWatcher {
public:
    explicit ModuleWatcher(std::filesystem::path path,
                           std::chrono::milliseconds settle = std::chrono::milliseconds(250));
    ModuleWatcher(const ModuleWatcher&) = delete;
    ModuleWatcher& operator=(const ModuleWatcher&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // False when the file cannot be watched; Changed is then always false.
    bool Watching() const { return changes_.Watching(); }
    // True once for each settled change. Never waits.
    bool Changed();

private:
    using Clock = std::chrono::steady_clock;

    std::filesystem::path path_;
    std::chrono::milliseconds settle_;
    FileChanges changes_;
    bool pending_ = false;
    Clock::time_point lastChange_;
};

} // namespace sandbox
