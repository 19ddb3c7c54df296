// The Windows side of the file layer's system operations: the C library's
// descriptors, files opened by wide name.

#include "SystemCalls.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

namespace files::system {

namespace {

Status StatusFrom(const struct _stat64& info) {
    return {info.st_mode, static_cast<std::uint64_t>(info.st_size)};
}

} // namespace

// --- Reading

int StatusOfName(const std::filesystem::path& path, Status& status) {
    struct _stat64 info {};
    if (::_wstat64(path.c_str(), &info) != 0) {
        return -1;
    }
    status = StatusFrom(info);
    return 0;
}

int StatusOfOpen(int fd, Status& status) {
    struct _stat64 info {};
    if (::_fstat64(fd, &info) != 0) {
        return -1;
    }
    status = StatusFrom(info);
    return 0;
}

// Windows has no FIFOs in its file system, so nothing a name opens can block:
// no O_NONBLOCK (which it does not have either).
int OpenToRead(const std::filesystem::path& path) {
    return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

// The C library reads standard input in text mode unless told otherwise,
// turning CR LF into LF and stopping at a Ctrl-Z.
int StandardInput() {
    ::_setmode(0, _O_BINARY);
    return 0;
}

int Close(int fd) {
    return ::_close(fd);
}

std::int64_t Read(int fd, char* into, std::size_t count) {
    for (;;) {
        const int n = ::_read(fd, into, static_cast<unsigned>(count));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n;
    }
}

// There is no pread: a file is read at a position by seeking to it first.
std::int64_t ReadAt(int fd, char* into, std::size_t count, std::uint64_t offset) {
    if (::_lseeki64(fd, static_cast<__int64>(offset), SEEK_SET) < 0) {
        return -1;
    }
    return Read(fd, into, count);
}

} // namespace files::system
