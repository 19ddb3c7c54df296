// The POSIX side of the file layer's system operations.

#include "files/SystemCalls.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "files/FileKind.h"

namespace files::system {

namespace {

Status StatusFrom(const struct stat& info) {
    return {info.st_mode,
            static_cast<std::uint64_t>(info.st_size),
            info.st_uid,
            info.st_gid,
            static_cast<std::uint64_t>(info.st_dev),
            static_cast<std::uint64_t>(info.st_ino)};
}

// Waits until a non-blocking descriptor has something to read (or its end).
void AwaitInput(int fd) {
    pollfd wanted{fd, POLLIN, 0};
    while (::poll(&wanted, 1, -1) < 0 && errno == EINTR) {
    }
}

// After a rename the folder's entry is what has to reach the disk. Best
// effort: the new content is in place by now whatever this returns.
void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
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

// --- Writing

int StandardOutput() {
    return STDOUT_FILENO;
}

// The target itself, not followed: the writer has followed its links already.
Target LookAt(const std::filesystem::path& target) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0) {
        return {errno, {}, false};
    }
    return {0, StatusFrom(info), S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode)};
}

std::string_view WrittenKinds() {
    return "a regular file, a character device or a FIFO";
}

// Without O_NONBLOCK, opening a FIFO nobody reads waits for a reader forever.
int OpenStream(const std::filesystem::path& target) {
    return ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

std::optional<std::string> SettleStream(int fd) {
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !(S_ISCHR(opened.st_mode) || S_ISFIFO(opened.st_mode))) {
        return "it changed while it was opened";
    }
    // The reader is there: from now on a full pipe waits for it, as usual.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    return std::nullopt;
}

// Read-only, or not writable by this user. Write permission is checked for
// what it says about the owner's intent; the replacement itself would only
// need the folder's.
std::optional<std::string> ReplaceRefusal(const std::filesystem::path& target,
                                          const Status& existing) {
    if ((existing.mode & 0222) == 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(existing.mode & 07777));
        return std::string("it is read-only (mode ") + mode + "); not replaced";
    }
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        return errno == EROFS
                   ? std::string("it is on a read-only file system")
                   : "it is not writable by this user (" + ErrnoText(errno) + "); not replaced";
    }
    return std::nullopt;
}

std::size_t MostNameLength(const std::filesystem::path& folder) {
    const long most = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return static_cast<std::size_t>(most > 0 ? most : NAME_MAX);
}

// Unlinking is safe whatever the leftover is: a link is removed, not
// followed.
std::optional<std::string> RemoveLeftover(const std::filesystem::path& temporary) {
    if (::unlink(temporary.c_str()) != 0 && errno != ENOENT) {
        return ErrnoText(errno);
    }
    return std::nullopt;
}

// O_EXCL and O_NOFOLLOW refuse whatever came back at the name since the
// leftover was removed. A replacement starts private (0600) and takes the
// replaced file's mode once its owner is right.
int CreateTemporary(const std::filesystem::path& temporary, bool replacing) {
    return ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  replacing ? 0600 : 0666);
}

// The owner and group (which only a privileged process can give away) and
// then the mode.
std::optional<Problem> KeepAttributes(int fd, const Status& existing) {
    struct stat made {};
    if (::fstat(fd, &made) != 0) {
        return Problem{false, ErrnoText(errno)};
    }
    if ((made.st_uid != existing.owner || made.st_gid != existing.group) &&
        ::fchown(fd, existing.owner, existing.group) != 0) {
        return Problem{true, "it belongs to user " + std::to_string(existing.owner) +
                                 " and group " + std::to_string(existing.group) +
                                 ", which a replacement could not keep (" + ErrnoText(errno) +
                                 "); not replaced"};
    }
    // After the owner: changing it clears the set-id bits.
    if (::fchmod(fd, existing.mode & 07777) != 0) {
        return Problem{false, ErrnoText(errno)};
    }
    return std::nullopt;
}

int SyncToDisk(int fd) {
    return ::fsync(fd);
}

// Another writer of the same target may have removed the temporary and
// created its own under the name. Told apart by device and inode, which stay
// with our file after it is closed.
bool StillNamed(const Status& ours, const std::filesystem::path& temporary) {
    struct stat named {};
    return ::lstat(temporary.c_str(), &named) == 0 &&
           static_cast<std::uint64_t>(named.st_dev) == ours.device &&
           static_cast<std::uint64_t>(named.st_ino) == ours.inode;
}

// rename replaces the target in one step; the temporary already has the
// target's owner, group and mode.
std::optional<std::string> Replace(const std::filesystem::path& temporary,
                                   const std::filesystem::path& target) {
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        return ErrnoText(errno);
    }
    SyncFolder(target.has_parent_path() ? target.parent_path() : std::filesystem::path("."));
    return std::nullopt;
}

// There is no unlinking by descriptor: the name is checked just before.
void Remove(const Status& ours, const std::filesystem::path& temporary) {
    if (StillNamed(ours, temporary)) {
        ::unlink(temporary.c_str());
    }
}

// SIGPIPE is held back while writing, so a reader that went away shows as
// EPIPE here; a SIGPIPE raised meanwhile is taken back out.
int WriteFully(int fd, std::string_view bytes) {
    sigset_t pipeSignal;
    sigset_t previous;
    sigset_t pending;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigpending(&pending);
    const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);

    int error = 0;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    if (error == EPIPE && !alreadyPending) {
        const timespec now{0, 0};
        sigtimedwait(&pipeSignal, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return error;
}

// --- The process's standard streams

std::string_view NullDevice() {
    return "/dev/null";
}

bool IsOpen(int fd) {
    return ::fcntl(fd, F_GETFD) != -1 || errno != EBADF;
}

// open takes the lowest free number, which is `fd` when the streams are
// opened in order; dup2 makes sure of it.
int OpenNullDeviceAs(int fd) {
    const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened < 0 || opened == fd) {
        return opened < 0 ? -1 : 0;
    }
    const int placed = ::dup2(opened, fd);
    ::close(opened);
    return placed == fd ? 0 : -1;
}

void KeepBrokenPipesFromSignalling() {
    ::signal(SIGPIPE, SIG_IGN);
}

void WriteByLines(std::FILE* stream) {
    std::setvbuf(stream, nullptr, _IOLBF, BUFSIZ);
}

// A pipe with no reader left polls as an error.
bool ReaderGone(int fd) {
    pollfd state{fd, POLLOUT, 0};
    return ::poll(&state, 1, 0) == 1 && (state.revents & POLLERR) != 0;
}

std::intptr_t TakeLock(const std::filesystem::path& folder, const char* name, bool create) {
    const int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT | O_EXCL : 0);
    const int fd = ::open((folder / name).c_str(), flags, 0600);
    if (fd < 0) {
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void ReleaseLock(std::intptr_t lock) {
    ::close(static_cast<int>(lock));
}

std::filesystem::path MakeUniqueFolder(const std::filesystem::path& temp, std::string_view prefix,
                                       std::string& error) {
    std::string name = (temp / (std::string(prefix) + "XXXXXX")).string();
    // mkdtemp makes it mode 0700.
    if (::mkdtemp(name.data()) == nullptr) {
        error = std::strerror(errno);
        return {};
    }
    return name;
}

bool IsOwnFolder(const std::filesystem::path& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid();
}

} // namespace files::system
