// The Windows side of OutputFile: the same promises through the C library's
// descriptors, opened by wide name. A regular file is replaced with
// ReplaceFileW, which on Windows keeps the replaced file's attributes and
// access rights (what POSIX keeps as mode, owner and group; Wine keeps no
// Windows attributes on a Unix file system); a new one is moved into place.
// Character devices (NUL, CON) are written straight into. Windows has no
// FIFOs or sockets among files and no SIGPIPE.

#include "OutputFile.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <string>

#include "FileError.h"
#include "FileKind.h"

namespace files {

namespace {

namespace fs = std::filesystem;

// As on Linux: a chain longer than this is a loop.
constexpr int kMostLinkHops = 40;
// NTFS's longest file name, in UTF-16 units.
constexpr std::size_t kMostNameLength = 255;

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string Naming(std::string_view what, const fs::path& given, const fs::path& resolved) {
    std::string name = std::string(what) + " '" + Utf8(given) + "'";
    if (resolved != given) {
        name += " (link to '" + Utf8(resolved) + "')";
    }
    return name;
}

std::string SystemText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = length ? Utf8(fs::path(std::wstring(text, length))) : "";
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    return message.empty() ? "Windows error " + std::to_string(code) : message;
}

fs::path ResolveLinks(const fs::path& path, std::string_view what) {
    fs::path current = path;
    for (int hop = 0; hop < kMostLinkHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(current, error)) {
            return current;
        }
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

// NUL, CON, COM1, ...: names Windows gives its devices in every folder, which
// the C library's stat does not always describe.
bool IsDeviceName(const fs::path& path) {
    std::wstring stem = path.stem().wstring();
    for (wchar_t& c : stem) {
        c = static_cast<wchar_t>(towupper(c));
    }
    if (stem == L"NUL" || stem == L"CON" || stem == L"PRN" || stem == L"AUX") {
        return true;
    }
    return stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")) &&
           stem[3] >= L'1' && stem[3] <= L'9';
}

fs::path FolderOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

std::uint64_t NameHash(std::wstring_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : text) {
        hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
    }
    return hash;
}

} // namespace

fs::path TemporaryFor(const fs::path& target) {
    const std::wstring name = target.filename().wstring();
    std::wstring temporary = L"." + name + L".quellmark-tmp";
    if (temporary.size() > kMostNameLength) {
        wchar_t hashed[40];
        std::swprintf(hashed, 40, L".quellmark-%016llx.tmp",
                      static_cast<unsigned long long>(NameHash(name)));
        temporary = hashed;
    }
    return target.parent_path() / temporary;
}

OutputFile::OutputFile(const fs::path& path, const WriteRules& rules) {
    if (rules.allowStdout && path == "-") {
        name_ = std::string(rules.what) + " to standard output";
        open_.fd = 1;
        open_.ownsFd = false;
        ::_setmode(1, _O_BINARY);
        return;
    }
    target_ = ResolveLinks(path, rules.what);
    name_ = Naming(rules.what, path, target_);
    struct _stat64 existing {};
    const bool exists = ::_wstat64(target_.c_str(), &existing) == 0;
    if (IsDeviceName(target_) || (exists && S_ISCHR(existing.st_mode))) {
        open_.fd = ::_wopen(target_.c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
        if (open_.fd < 0) {
            Fail(errno);
        }
        if (GetFileType(reinterpret_cast<HANDLE>(::_get_osfhandle(open_.fd))) != FILE_TYPE_CHAR) {
            throw Refused("cannot write " + name_ + ": it is not the device its name says");
        }
        return;
    }
    if (!exists && errno != ENOENT) {
        Fail(errno);
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        throw Refused("cannot write " + name_ + ": it is " +
                      std::string(KindName(existing.st_mode)) +
                      "; only a regular file or a character device is written");
    }
    if (exists) {
        const DWORD attributes = GetFileAttributesW(target_.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
            throw Refused("cannot write " + name_ + ": it is read-only; not replaced");
        }
    }
    const fs::path temporary = TemporaryFor(target_);
    if (!DeleteFileW(temporary.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
        GetLastError() != ERROR_PATH_NOT_FOUND) {
        throw WriteFailed("cannot write " + name_ + ": cannot remove the old temporary file '" +
                          Utf8(temporary) + "': " + SystemText(GetLastError()));
    }
    open_.fd =
        ::_wopen(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                 _S_IREAD | _S_IWRITE);
    if (open_.fd < 0) {
        const std::string folder = Utf8(FolderOf(target_));
        throw WriteFailed("cannot write " + name_ + ": " +
                          (errno == ENOENT ? "the folder '" + folder + "' does not exist"
                                           : "cannot create a temporary file in '" + folder +
                                                 "': " + ErrnoText(errno)));
    }
    open_.temporary = temporary;
}

OutputFile::Open::~Open() {
    if (ownsFd && fd >= 0) {
        ::_close(fd);
    }
    if (!keep && !temporary.empty()) {
        DeleteFileW(temporary.c_str());
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
        const int result = ::_close(open_.fd);
        open_.fd = -1;
        if (result != 0) {
            Fail(errno);
        }
        open_.keep = true;
        return;
    }
    if (::_commit(open_.fd) != 0) {
        Fail(errno);
    }
    const int closed = ::_close(open_.fd);
    open_.fd = -1;
    if (closed != 0) {
        Fail(errno);
    }
    const DWORD attributes = GetFileAttributesW(target_.c_str());
    const bool replaced = attributes != INVALID_FILE_ATTRIBUTES
                              ? ReplaceFileW(target_.c_str(), open_.temporary.c_str(), nullptr,
                                             REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                              : MoveFileExW(open_.temporary.c_str(), target_.c_str(),
                                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!replaced) {
        throw WriteFailed("cannot write " + name_ + ": " + SystemText(GetLastError()));
    }
    open_.keep = true;
}

void WriteAll(int fd, std::string_view bytes, std::string_view name) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - written, 1u << 30);
        const int n = ::_write(fd, bytes.data() + written, static_cast<unsigned>(chunk));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw WriteFailed(
                "cannot write " + std::string(name) + ": " +
                (errno == EPIPE ? "the reader went away (broken pipe)" : ErrnoText(errno)));
        }
        written += static_cast<std::size_t>(n);
    }
}

} // namespace files
