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

fs::path FolderOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// After a rename the folder's entry is what has to reach the disk. Best
// effort: the new content is in place by now whatever this returns.
void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
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

// Refuses a regular file that should not be replaced: read-only, or not
// writable by this user. Write permission is checked for what it says about
// the owner's intent; the replacement itself would only need the folder's.
void CheckReplaceable(const fs::path& target, const struct stat& existing,
                      const std::string& name) {
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
}

} // namespace

fs::path TemporaryFor(const fs::path& target) {
    const std::string name = target.filename().string();
    long most = ::pathconf(FolderOf(target).c_str(), _PC_NAME_MAX);
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

OutputFile::OutputFile(const fs::path& path, const WriteRules& rules) {
    if (rules.allowStdout && path == "-") {
        name_ = std::string(rules.what) + " to standard output";
        open_.fd = STDOUT_FILENO;
        open_.ownsFd = false;
        return;
    }
    target_ = ResolveLinks(path, rules.what);
    name_ = Naming(rules.what, path, target_);
    struct stat existing {};
    const bool exists = ::lstat(target_.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) {
        Fail(errno);
    }
    if (exists && (S_ISCHR(existing.st_mode) || S_ISFIFO(existing.st_mode))) {
        // Without O_NONBLOCK, opening a FIFO nobody reads waits for a reader forever.
        open_.fd = ::open(target_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (open_.fd < 0) {
            if (errno == ENXIO) {
                throw WriteFailed("cannot write " + name_ + ": no process is reading from it");
            }
            Fail(errno);
        }
        struct stat opened {};
        if (::fstat(open_.fd, &opened) != 0 ||
            !(S_ISCHR(opened.st_mode) || S_ISFIFO(opened.st_mode))) {
            throw Refused("cannot write " + name_ + ": it changed while it was opened");
        }
        // The reader is there: from now on a full pipe waits for it, as usual.
        const int flags = ::fcntl(open_.fd, F_GETFL);
        if (flags >= 0) {
            ::fcntl(open_.fd, F_SETFL, flags & ~O_NONBLOCK);
        }
        return;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        throw Refused("cannot write " + name_ + ": it is " +
                      std::string(KindName(existing.st_mode)) +
                      "; only a regular file, a character device or a FIFO is written");
    }
    if (exists) {
        CheckReplaceable(target_, existing, name_);
    }

    const fs::path temporary = TemporaryFor(target_);
    // A killed run's leftover: unlinking is safe whatever it is (a link is
    // removed, not followed), and O_EXCL then refuses anything that comes back.
    if (::unlink(temporary.c_str()) != 0 && errno != ENOENT) {
        throw WriteFailed("cannot write " + name_ + ": cannot remove the old temporary file '" +
                          temporary.string() + "': " + ErrnoText(errno));
    }
    open_.fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      exists ? 0600 : 0666);
    if (open_.fd < 0) {
        const std::string folder = FolderOf(target_).string();
        throw WriteFailed("cannot write " + name_ + ": " +
                          (errno == ENOENT ? "the folder '" + folder + "' does not exist"
                                           : "cannot create a temporary file in '" + folder +
                                                 "': " + ErrnoText(errno)));
    }
    open_.temporary = temporary;
    if (exists) {
        struct stat made {};
        if (::fstat(open_.fd, &made) != 0) {
            Fail(errno);
        }
        if ((made.st_uid != existing.st_uid || made.st_gid != existing.st_gid) &&
            ::fchown(open_.fd, existing.st_uid, existing.st_gid) != 0) {
            throw Refused(
                "cannot write " + name_ + ": it belongs to user " +
                std::to_string(existing.st_uid) + " and group " + std::to_string(existing.st_gid) +
                ", which a replacement could not keep (" + ErrnoText(errno) + "); not replaced");
        }
        // After the owner: changing it clears the set-id bits.
        if (::fchmod(open_.fd, existing.st_mode & 07777) != 0) {
            Fail(errno);
        }
    }
}

OutputFile::Open::~Open() {
    if (ownsFd && fd >= 0) {
        ::close(fd);
    }
    if (!keep && !temporary.empty()) {
        ::unlink(temporary.c_str());
    }
}

OutputFile::~OutputFile() = default;

void OutputFile::Fail(int error) {
    throw WriteFailed("cannot write " + name_ + ": " + ErrnoText(error));
}

void OutputFile::Write(std::string_view bytes) {
    WriteAll(open_.fd, bytes, name_);
}

void OutputFile::Commit() {
    if (!open_.ownsFd) {
        open_.keep = true;
        return;
    }
    if (open_.temporary.empty()) {
        const int result = ::close(open_.fd);
        open_.fd = -1;
        if (result != 0) {
            Fail(errno);
        }
        open_.keep = true;
        return;
    }
    if (::fsync(open_.fd) != 0) {
        Fail(errno);
    }
    // Another writer of the same target may have taken the temporary's name
    // over; only our own file may become the target, and theirs is not ours
    // to remove.
    struct stat ours {};
    struct stat named {};
    if (::fstat(open_.fd, &ours) != 0 || ::lstat(open_.temporary.c_str(), &named) != 0 ||
        ours.st_ino != named.st_ino || ours.st_dev != named.st_dev) {
        open_.keep = true;
        throw WriteFailed("cannot write " + name_ + ": another process took over its temporary");
    }
    const int closed = ::close(open_.fd);
    open_.fd = -1;
    if (closed != 0) {
        Fail(errno);
    }
    if (::rename(open_.temporary.c_str(), target_.c_str()) != 0) {
        Fail(errno);
    }
    open_.keep = true;
    SyncFolder(FolderOf(target_));
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

} // namespace files
