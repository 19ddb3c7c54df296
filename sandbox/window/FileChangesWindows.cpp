// Windows side: a poll of the file's attributes on each Happened. The module
// watch asks once a frame, so one look a frame is all it costs. The system's
// own times are read (100 ns steps; the C library's stat has whole seconds,
// which would miss a same-sized rebuild within the second), and a file
// renamed over the module shows as a new creation time.

#include "window/FileChanges.h"

#include <windows.h>

#include <cstdint>

namespace sandbox {

namespace {

std::uint64_t Ticks(const FILETIME& time) {
    return (std::uint64_t(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

} // namespace

struct FileChanges::Watch {
    std::filesystem::path path;
    // What the last look saw of the file: a change is any difference.
    bool present = false;
    std::uint64_t created = 0;
    std::uint64_t written = 0;
    std::uint64_t size = 0;
};

FileChanges::FileChanges(const std::filesystem::path& path) : watch_(new Watch) {
    watch_->path = path;
    Happened();
}

FileChanges::~FileChanges() = default;

bool FileChanges::Happened() {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const bool present =
        GetFileAttributesExW(watch_->path.c_str(), GetFileExInfoStandard, &data) != 0 &&
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    const std::uint64_t created = present ? Ticks(data.ftCreationTime) : 0;
    const std::uint64_t written = present ? Ticks(data.ftLastWriteTime) : 0;
    const std::uint64_t size =
        present ? (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow : 0;
    const bool changed = present != watch_->present || created != watch_->created ||
                         written != watch_->written || size != watch_->size;
    watch_->present = present;
    watch_->created = created;
    watch_->written = written;
    watch_->size = size;
    return changed;
}

// As the last look saw it (ModuleWatcher asks right after Happened looked).
bool FileChanges::Present() const {
    return watch_->present;
}

} // namespace sandbox
