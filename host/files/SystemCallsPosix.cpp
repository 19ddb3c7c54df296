// The POSIX side of the file layer's system operations.

#include "SystemCalls.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace files::system {

namespace {

Status StatusFrom(const struct stat& info) {
    return {info.st_mode, static_cast<std::uint64_t>(info.st_size)};
}

// Waits until a non-blocking descriptor has something to read (or its end).
void AwaitInput(int fd) {
    pollfd wanted{fd, POLLIN, 0};
    while (::poll(&wanted, 1, -1) < 0 && errno == EINTR) {
    }
}

} // namespace

// --- Reading

int StatusOfName(const std::filesystem::path& path, Status& status) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return -1;
    }
    status = StatusFrom(info);
    return 0;
}

int StatusOfOpen(int fd, Status& status) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return -1;
    }
    status = StatusFrom(info);
    return 0;
}

// Without O_NONBLOCK, opening a FIFO that has no writer waits for one
// forever; the reader refuses a FIFO by name, but the name may change into
// one between the look and the open. O_NOCTTY: a terminal opened here must
// not become the process's controlling terminal.
int OpenToRead(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

int StandardInput() {
    return STDIN_FILENO;
}

int Close(int fd) {
    return ::close(fd);
}

std::int64_t Read(int fd, char* into, std::size_t count) {
    for (;;) {
        const ssize_t n = ::read(fd, into, count);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // Opened without blocking, a pipe or terminal with nothing in it yet
        // says so instead of waiting.
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            AwaitInput(fd);
            continue;
        }
        return n;
    }
}

std::int64_t ReadAt(int fd, char* into, std::size_t count, std::uint64_t offset) {
    for (;;) {
        const ssize_t n = ::pread(fd, into, count, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n;
    }
}

} // namespace files::system
