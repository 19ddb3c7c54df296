#pragma once

#include <filesystem>
#include <memory>

namespace sandbox {

// What the system lets a program notice of one file: that something may have
// happened to it, and whether it is there. How is each platform's own
// (FileChangesInotify.cpp, FileChangesWindows.cpp); when to act on a change
// is ModuleWatcher's.
class FileChanges {
public:
    explicit FileChanges(const std::filesystem::path& path);
    ~FileChanges();
    FileChanges(const FileChanges&) = delete;
    FileChanges& operator=(const FileChanges&) = delete;

    // False when the file cannot be watched; Happened is then always false.
    bool Watching() const { return watch_ != nullptr; }
    // True when something may have happened to the file since the last call
    // (or since the watch began). Never waits.
    bool Happened();
    // Whether the file is there to be loaded (not deleted, not a folder).
    bool Present() const;

private:
    // The system's side of the watch, defined with each platform's code.
    struct Watch;
    std::unique_ptr<Watch> watch_;
};

} // namespace sandbox
