#include "ModuleWatcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>

namespace sandbox {

namespace {

// Every way a build can put a new file in place: written in place and
// closed, renamed over the old one, created anew, or its attributes changed.
constexpr std::uint32_t kEvents =
    IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_MODIFY | IN_ATTRIB | IN_DELETE;

} // namespace

ModuleWatcher::ModuleWatcher(std::filesystem::path path, std::chrono::milliseconds settle)
    : path_(std::move(path)), name_(path_.filename().string()), settle_(settle) {
    const std::filesystem::path folder = path_.has_parent_path() ? path_.parent_path() : ".";
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify_ >= 0 && ::inotify_add_watch(inotify_, folder.c_str(), kEvents) < 0) {
        ::close(inotify_);
        inotify_ = -1;
    }
}

ModuleWatcher::~ModuleWatcher() {
    if (inotify_ >= 0) {
        ::close(inotify_);
    }
}

bool ModuleWatcher::Drain() {
    bool aboutTheFile = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t length = ::read(inotify_, buffer, sizeof buffer);
        if (length <= 0) {
            return aboutTheFile;
        }
        for (ssize_t at = 0; at < length;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof(inotify_event);
            // A lost queue may have held the file's events too.
            if ((event.mask & IN_Q_OVERFLOW) != 0 || (event.len > 0 && name_ == name)) {
                aboutTheFile = true;
            }
            at += ssize_t(sizeof(inotify_event) + event.len);
        }
    }
}

bool ModuleWatcher::Changed() {
    if (inotify_ < 0) {
        return false;
    }
    const Clock::time_point now = Clock::now();
    if (Drain()) {
        pending_ = true;
        lastChange_ = now;
    }
    if (!pending_ || now - lastChange_ < settle_) {
        return false;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(path_, error)) {
        // Deleted before the new one is written: wait for it.
        return false;
    }
    pending_ = false;
    return true;
}

} // namespace sandbox
