#include "files/OutputFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>
#include <type_traits>

#include "files/FileError.h"
#include "files/FileKind.h"
#include "files/PathText.h"
#include "files/SystemCalls.h"

namespace files {

namespace {

namespace fs = std::filesystem;

// Linux's own limit, kept on every platform: the most links followed in one
// name, so a chain the system opens for reading is written through too. A
// longer chain is a loop.
constexpr int kMostLinkHops = 40;

// "config 'a.cfg'", or "config 'a.cfg' (link to 'real/a.cfg')".
std::string Naming(std::string_view what, const fs::path& given, const fs::path& resolved) {
    std::string name = std::string(what) + " '" + PathText(given) + "'";
    if (resolved != given) {
        name += " (link to '" + PathText(resolved) + "')";
    }
    return name;
}

// The file a chain of symbolic links ends at (the path itself when it is not
// a link). Only the last component matters: folders on the way are entered
// through their links anyway, and the rename happens in the final folder.
fs::path ResolveLinks(const fs::path& path, std::string_view what) {
    fs::path current = path;
    for (int hops = 0;; ++hops) {
        std::error_code error;
        if (!fs::is_symlink(current, error)) {
            return current;
        }
        if (hops == kMostLinkHops) {
            throw Refused("cannot write " + Naming(what, path, current) +
                          ": too many levels of symbolic links");
        }
        const fs::path next = fs::read_symlink(current, error);
        if (error) {
            throw WriteFailed("cannot write " + Naming(what, path, current) + ": " +
                              error.message());
        }
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
}

fs::path FolderOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// 64-bit FNV-1a over the system's own units of a name (bytes on POSIX,
// UTF-16 units on Windows): a stable short name for a long one.
std::uint64_t NameHash(const fs::path::string_type& text) {
    using Unit = std::make_unsigned_t<fs::path::value_type>;
    std::uint64_t hash = 14695981039346656037ull;
    for (const auto c : text) {
        hash = (hash ^ static_cast<Unit>(c)) * 1099511628211ull;
    }
    return hash;
}

// ASCII text in the system's own units.
fs::path::string_type Native(std::string_view ascii) {
    return fs::path::string_type(ascii.begin(), ascii.end());
}

} // namespace

fs::path TemporaryFor(const fs::path& target) {
    const fs::path::string_type name = target.filename().native();
    fs::path::string_type temporary = Native(".") + name + Native(".quellmark-tmp");
    if (temporary.size() > system::MostNameLength(FolderOf(target))) {
        // A name near the limit would not fit with the suffix: use a short
        // one that is still the same for every run.
        char hashed[40];
        std::snprintf(hashed, sizeof hashed, ".quellmark-%016llx.tmp",
                      static_cast<unsigned long long>(NameHash(name)));
        temporary = Native(hashed);
    }
    return target.parent_path() / temporary;
}

OutputFile::OutputFile(const fs::path& path, const WriteRules& rules) {
    if (rules.allowStdout && path == "-") {
        name_ = std::string(rules.what) + " to standard output";
        open_.fd = system::StandardOutput();
        open_.ownsFd = false;
        return;
    }
    target_ = ResolveLinks(path, rules.what);
    name_ = Naming(rules.what, path, target_);
    const system::Target found = system::LookAt(target_);
    if (found.stream) {
        OpenStream();
        return;
    }
    const bool exists = found.error == 0;
    if (!exists && found.error != ENOENT) {
        Fail(found.error);
    }
    if (exists && !S_ISREG(found.status.mode)) {
        throw Refused("cannot write " + name_ + ": it is " +
                      std::string(KindName(found.status.mode)) + "; only " +
                      std::string(system::WrittenKinds()) + " is written");
    }
    if (exists) {
        if (auto refusal = system::ReplaceRefusal(target_, found.status)) {
            throw Refused("cannot write " + name_ + ": " + *refusal);
        }
    }
    OpenTemporary(exists ? &found.status : nullptr);
}

void OutputFile::OpenStream() {
    open_.fd = system::OpenStream(target_);
    if (open_.fd < 0) {
        if (errno == ENXIO) {
            throw WriteFailed("cannot write " + name_ + ": no process is reading from it");
        }
        Fail(errno);
    }
    if (auto problem = system::SettleStream(open_.fd)) {
        throw Refused("cannot write " + name_ + ": " + *problem);
    }
}

void OutputFile::OpenTemporary(const system::Status* existing) {
    const fs::path temporary = TemporaryFor(target_);
    // A killed run's leftover goes first; the temporary is then made anew,
    // never opened as it is found.
    if (auto error = system::RemoveLeftover(temporary)) {
        throw WriteFailed("cannot write " + name_ + ": cannot remove the old temporary file '" +
                          PathText(temporary) + "': " + *error);
    }
    open_.fd = system::CreateTemporary(temporary, existing != nullptr);
    if (open_.fd < 0) {
        const std::string folder = PathText(FolderOf(target_));
        throw WriteFailed("cannot write " + name_ + ": " +
                          (errno == ENOENT ? "the folder '" + folder + "' does not exist"
                                           : "cannot create a temporary file in '" + folder +
                                                 "': " + ErrnoText(errno)));
    }
    open_.temporary = temporary;
    if (system::StatusOfOpen(open_.fd, open_.made) != 0) {
        Fail(errno);
    }
    if (existing != nullptr) {
        if (auto problem = system::KeepAttributes(open_.fd, *existing)) {
            const std::string message = "cannot write " + name_ + ": " + problem->reason;
            if (problem->refused) {
                throw Refused(message);
            }
            throw WriteFailed(message);
        }
    }
}

OutputFile::Open::~Open() {
    if (ownsFd && fd >= 0) {
        system::Close(fd);
    }
    if (!keep && !temporary.empty()) {
        system::Remove(made, temporary);
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
        const int result = system::Close(open_.fd);
        open_.fd = -1;
        if (result != 0) {
            Fail(errno);
        }
        open_.keep = true;
        return;
    }
    if (system::SyncToDisk(open_.fd) != 0) {
        Fail(errno);
    }
    // Another writer of the same target may have taken the temporary's name
    // over; only our own file may become the target, and theirs is not ours
    // to remove.
    if (!system::StillNamed(open_.made, open_.temporary)) {
        throw WriteFailed("cannot write " + name_ + ": another process took over its temporary");
    }
    const int closed = system::Close(open_.fd);
    open_.fd = -1;
    if (closed != 0) {
        Fail(errno);
    }
    if (auto error = system::Replace(open_.temporary, target_)) {
        throw WriteFailed("cannot write " + name_ + ": " + *error);
    }
    open_.keep = true;
}

void WriteAll(int fd, std::string_view bytes, std::string_view name) {
    const int error = system::WriteFully(fd, bytes);
    if (error != 0) {
        throw WriteFailed("cannot write " + std::string(name) + ": " + ErrnoText(error));
    }
}

} // namespace files
