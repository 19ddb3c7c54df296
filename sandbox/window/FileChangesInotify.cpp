// Linux side: inotify on the file's folder, since a rebuild usually puts a
// new file in the old one's place, which a watch on the file itself would
// not see.

#include "window/FileChanges.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace sandbox {

namespace {

// Every way a build can put a new file in place: written in place and
// closed, renamed over the old one, created anew, or its attributes changed.
constexpr std::uint32_t kEvents =
    IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_MODIFY | IN_ATTRIB | IN_DELETE;

} // namespace

struct FileChanges::Watch {
    std::filesystem::path path;
    // The file's name in its folder's events.
    std::string name;
    int inotify = -1;

    ~Watch() { ::close(inotify); }
};

FileChanges::FileChanges(const std::filesystem::path& path) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    const int inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify < 0) {
        return;
    }
    if (::inotify_add_watch(inotify, folder.c_str(), kEvents) < 0) {
        ::close(inotify);
        return;
    }
    watch_.reset(new Watch{path, path.filename().string(), inotify});
}

FileChanges::~FileChanges() = default;

// Reads what inotify has queued; true when any of it is about the file.
bool FileChanges::Happened() {
    if (!watch_) {
        return false;
    }
    bool aboutTheFile = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t length = ::read(watch_->inotify, buffer, sizeof buffer);
        if (length <= 0) {
            return aboutTheFile;
        }
        for (ssize_t at = 0; at < length;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof(inotify_event);
            // A lost queue may have held the file's events too.
            if ((event.mask & IN_Q_OVERFLOW) != 0 || (event.len > 0 && watch_->name == name)) {
                aboutTheFile = true;
            }
            at += ssize_t(sizeof(inotify_event) + event.len);
        }
    }
}

bool FileChanges::Present() const {
    std::error_code error;
    return watch_ && std::filesystem::is_regular_file(watch_->path, error);
}

} // namespace sandbox
