// Test-only interposer for read, pread and write: makes the disk fail on
// chosen files, which no real file system does on request. Linked into the
// file layer's tests and preloaded (LD_PRELOAD) into the sandbox by its own.
//
//   QUELLMARK_TEST_READ_FAULT=PATTERN[@N]   reads of a file whose path holds
//                                           PATTERN fail with EIO from byte N
//   QUELLMARK_TEST_WRITE_FAULT=PATTERN[@N]  writes to such a file fail with
//                                           ENOSPC from byte N
//
// N defaults to 0. Without the variables every call goes straight through.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The byte from which `fd` fails under `variable`, or -1 when it does not.
long long FaultFrom(const char* variable, int fd) {
    const char* setting = std::getenv(variable);
    if (setting == nullptr || *setting == '\0') {
        return -1;
    }
    const std::string rule = setting;
    const std::size_t at = rule.rfind('@');
    const std::string pattern = rule.substr(0, at);
    const long long from = at == std::string::npos ? 0 : std::atoll(rule.c_str() + at + 1);

    char link[64];
    char target[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = ::readlink(link, target, sizeof target - 1);
    if (length <= 0) {
        return -1;
    }
    target[length] = '\0';
    return std::strstr(target, pattern.c_str()) != nullptr ? from : -1;
}

template <typename Function> Function* Real(const char* name) {
    return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}

// How many of `count` bytes at `position` may pass before the fault; -1: none.
long long Allowed(long long from, long long position, std::size_t count) {
    if (from < 0 || position < 0) {
        return static_cast<long long>(count);
    }
    if (position >= from) {
        return -1;
    }
    return std::min<long long>(static_cast<long long>(count), from - position);
}

} // namespace

extern "C" {

ssize_t read(int fd, void* buffer, std::size_t count) {
    const long long from = FaultFrom("QUELLMARK_TEST_READ_FAULT", fd);
    const long long allowed =
        from < 0 ? static_cast<long long>(count) : Allowed(from, ::lseek(fd, 0, SEEK_CUR), count);
    if (allowed < 0) {
        errno = EIO;
        return -1;
    }
    return Real<ssize_t(int, void*, std::size_t)>("read")(fd, buffer,
                                                          static_cast<std::size_t>(allowed));
}

ssize_t pread(int fd, void* buffer, std::size_t count, off_t offset) {
    const long long allowed = Allowed(FaultFrom("QUELLMARK_TEST_READ_FAULT", fd), offset, count);
    if (allowed < 0) {
        errno = EIO;
        return -1;
    }
    return Real<ssize_t(int, void*, std::size_t, off_t)>("pread")(
        fd, buffer, static_cast<std::size_t>(allowed), offset);
}

ssize_t pread64(int fd, void* buffer, std::size_t count, off_t offset) {
    return pread(fd, buffer, count, offset);
}

ssize_t write(int fd, const void* buffer, std::size_t count) {
    const long long from = FaultFrom("QUELLMARK_TEST_WRITE_FAULT", fd);
    const long long allowed =
        from < 0 ? static_cast<long long>(count) : Allowed(from, ::lseek(fd, 0, SEEK_CUR), count);
    if (allowed < 0) {
        errno = ENOSPC;
        return -1;
    }
    return Real<ssize_t(int, const void*, std::size_t)>("write")(fd, buffer,
                                                                 static_cast<std::size_t>(allowed));
}

} // extern "C"
