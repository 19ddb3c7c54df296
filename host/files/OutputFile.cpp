#include "OutputFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

#include "FileError.h"
#include "FileKind.h"

namespace files {

namespace {

namespace fs = std::filesystem;

// Linux's own limit: a chain longer than this is a loop.
constexpr int kMostLinkHops = 40;

// "config 'a.cfg'", or "config 'a.cfg' (link to 'real/a.cfg')".
std::string Naming(std::string_view what, const fs::path& given, const fs::path& resolved) {
    std::string name = std::string(what) + " '" + given.string() + "'";
    if (resolved != given) {
        name += " (link to '" + resolved.string() + "')";
    }
    return name;
}

// The file a chain of symbolic links ends at (the path itself when it is not
// a link). Only the last component matters: folders on the way are entered
// through their links anyway, and the rename happens in the final folder.
fs::path ResolveLinks(const fs::path& path, std::string_view what) {
    fs::path current = path;
    for (int hop = 0; hop < kMostLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        std::error_code error;
        const fs::path next = fs::read_symlink(current, error);
        if (error) {
            throw WriteFailed("cannot write " + Naming(what, path, current) + ": " +
                              error.message());
        }
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    throw Refused("cannot write " + Naming(what, path, current) +
                  ": too many levels of symbolic links");
}

// Removes the temporary file on every way out but the successful rename.
class Temporary {
public:
    Temporary(fs::path path, int fd) : path_(std::move(path)), fd_(fd) {}
    ~Temporary() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    int Fd() const { return fd_; }
    // Closes the descriptor, returning close's result (with errno set).
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }
    void Keep() { path_.clear(); }

private:
    fs::path path_;
    int fd_;
};

// After a rename the folder's entry is what has to reach the disk. Best
// effort: the new content is in place by now whatever this returns.
void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A regular file replaced (or a missing one created) through the temporary.
void Replace(const fs::path& target, const struct stat* existing, std::string_view bytes,
             const std::string& name) {
    const fs::path temporary = TemporaryFor(target);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    // A killed run's leftover: unlinking is safe whatever it is (a link is
    // removed, not followed), and O_EXCL then refuses anything that comes back.
    if (::unlink(temporary.c_str()) != 0 && errno != ENOENT) {
        throw WriteFailed("cannot write " + name + ": cannot remove the old temporary file '" +
                          temporary.string() + "': " + ErrnoText(errno));
    }
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          existing != nullptr ? 0600 : 0666);
    if (fd < 0) {
        throw WriteFailed("cannot write " + name + ": " +
                          (errno == ENOENT ? "the folder '" + folder.string() + "' does not exist"
                                           : "cannot create a temporary file in '" +
                                                 folder.string() + "': " + ErrnoText(errno)));
    }
    Temporary guard(temporary, fd);
    if (existing != nullptr) {
        struct stat made {};
        if (::fstat(fd, &made) != 0) {
            throw WriteFailed("cannot write " + name + ": " + ErrnoText(errno));
        }
        if ((made.st_uid != existing->st_uid || made.st_gid != existing->st_gid) &&
            ::fchown(fd, existing->st_uid, existing->st_gid) != 0) {
            throw Refused("cannot write " + name + ": it belongs to user " +
                          std::to_string(existing->st_uid) + " and group " +
                          std::to_string(existing->st_gid) +
                          ", which a replacement could not keep (" + ErrnoText(errno) +
                          "); not replaced");
        }
        // After the owner: changing it clears the set-id bits.
        if (::fchmod(fd, existing->st_mode & 07777) != 0) {
            throw WriteFailed("cannot write " + name + ": " + ErrnoText(errno));
        }
    }
    WriteAll(fd, bytes, name);
    if (::fsync(fd) != 0) {
        throw WriteFailed("cannot write " + name + ": " + ErrnoText(errno));
    }
    // Another writer of the same target may have taken the temporary's name
    // over; only our own file may become the target.
    struct stat ours {};
    struct stat named {};
    if (::fstat(fd, &ours) != 0 || ::lstat(temporary.c_str(), &named) != 0 ||
        ours.st_ino != named.st_ino || ours.st_dev != named.st_dev) {
        guard.Keep(); // it is not ours to remove
        throw WriteFailed("cannot write " + name + ": another process took over the temporary '" +
                          temporary.string() + "'");
    }
    if (guard.Close() != 0) {
        throw WriteFailed("cannot write " + name + ": " + ErrnoText(errno));
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        throw WriteFailed("cannot write " + name + ": " + ErrnoText(errno));
    }
    guard.Keep();
    SyncFolder(folder);
}

// A character device or a FIFO, written into as a shell's redirection would.
void WriteInto(const fs::path& target, std::string_view bytes, const std::string& name) {
    // Without O_NONBLOCK, opening a FIFO nobody reads waits for a reader forever.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        throw WriteFailed("cannot write " + name + ": " +
                          (errno == ENXIO ? "no process is reading from it" : ErrnoText(errno)));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !(S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode))) {
        ::close(fd);
        throw Refused("cannot write " + name + ": it changed while it was opened");
    }
    // The reader is there: from now on a full pipe waits for it, as usual.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    try {
        WriteAll(fd, bytes, name);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0) {
        throw WriteFailed("cannot write " + name + ": " + ErrnoText(errno));
    }
}

// 64-bit FNV-1a: a stable short name for a long one.
std::uint64_t NameHash(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    return hash;
}

} // namespace

fs::path TemporaryFor(const fs::path& target) {
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string name = target.filename().string();
    long most = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (most <= 0) {
        most = NAME_MAX;
    }
    std::string temporary = "." + name + ".quellmark-tmp";
    if (temporary.size() > static_cast<std::size_t>(most)) {
        // A name near the limit would not fit with the suffix: use a short
        // one that is still the same for every run.
        char hashed[40];
        std::snprintf(hashed, sizeof hashed, ".quellmark-%016llx.tmp",
                      static_cast<unsigned long long>(NameHash(name)));
        temporary = hashed;
    }
    return target.parent_path() / temporary;
}

void WriteAll(int fd, std::string_view bytes, std::string_view name) {
    // SIGPIPE is held back while writing, so a reader that went away shows
    // as EPIPE here; a SIGPIPE raised meanwhile is taken back out.
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
    if (error != 0) {
        throw WriteFailed(
            "cannot write " + std::string(name) + ": " +
            (error == EPIPE ? "the reader went away (broken pipe)" : ErrnoText(error)));
    }
}

void WriteFile(const fs::path& path, std::string_view bytes, const WriteRules& rules) {
    if (rules.allowStdout && path == "-") {
        WriteAll(STDOUT_FILENO, bytes, std::string(rules.what) + " to standard output");
        return;
    }
    const fs::path target = ResolveLinks(path, rules.what);
    const std::string name = Naming(rules.what, path, target);
    struct stat existing {};
    if (::lstat(target.c_str(), &existing) != 0) {
        if (errno != ENOENT) {
            throw WriteFailed("cannot write " + name + ": " + ErrnoText(errno));
        }
        Replace(target, nullptr, bytes, name);
        return;
    }
    if (S_ISCHR(existing.st_mode) || S_ISFIFO(existing.st_mode)) {
        WriteInto(target, bytes, name);
        return;
    }
    if (!S_ISREG(existing.st_mode)) {
        throw Refused("cannot write " + name + ": it is " +
                      std::string(KindName(existing.st_mode)) + "; only a regular file, a " +
                      "character device or a FIFO is written");
    }
    // Write permission is checked for what it says about the user's intent:
    // the replacement itself only needs the folder's.
    if ((existing.st_mode & 0222) == 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(existing.st_mode & 07777));
        throw Refused("cannot write " + name + ": it is read-only (mode " + mode +
                      "); not replaced");
    }
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        throw Refused("cannot write " + name + ": " +
                      (errno == EROFS ? std::string("it is on a read-only file system")
                                      : "it is not writable by this user (" + ErrnoText(errno) +
                                            "); not replaced"));
    }
    Replace(target, &existing, bytes, name);
}

} // namespace files
