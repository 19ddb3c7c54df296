// The Windows side of the file layer's system operations: the C library's
// descriptors, files opened by wide name. Windows has no FIFOs or sockets
// among files and no SIGPIPE.

#include "files/SystemCalls.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <random>

#include "files/SystemText.h"

namespace files::system {

namespace {

Status StatusFrom(const struct _stat64& info) {
    return {info.st_mode, static_cast<std::uint64_t>(info.st_size)};
}

// NTFS's longest file name, in UTF-16 units.
constexpr std::size_t kMostNameLength = 255;

// NUL, CON, COM1, ...: names Windows gives its devices in every folder, which
// the C library's stat does not always describe.
bool IsDeviceName(const std::filesystem::path& path) {
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

// --- Writing

int StandardOutput() {
    ::_setmode(1, _O_BINARY);
    return 1;
}

// Character devices (NUL, CON) are written straight into, whatever stat
// makes of their names.
Target LookAt(const std::filesystem::path& target) {
    Status status;
    const bool exists = StatusOfName(target, status) == 0;
    const int error = exists ? 0 : errno;
    const bool stream = IsDeviceName(target) || (exists && S_ISCHR(status.mode));
    return {error, exists ? status : Status{}, stream};
}

std::string_view WrittenKinds() {
    return "a regular file or a character device";
}

int OpenStream(const std::filesystem::path& target) {
    return ::_wopen(target.c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
}

std::optional<std::string> SettleStream(int fd) {
    if (GetFileType(reinterpret_cast<HANDLE>(::_get_osfhandle(fd))) != FILE_TYPE_CHAR) {
        return "it is not the device its name says";
    }
    return std::nullopt;
}

// What POSIX says with write permission, Windows says with an attribute.
std::optional<std::string> ReplaceRefusal(const std::filesystem::path& target, const Status&) {
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return "it is read-only; not replaced";
    }
    return std::nullopt;
}

std::size_t MostNameLength(const std::filesystem::path&) {
    return kMostNameLength;
}

std::optional<std::string> RemoveLeftover(const std::filesystem::path& temporary) {
    if (!DeleteFileW(temporary.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND &&
        GetLastError() != ERROR_PATH_NOT_FOUND) {
        return SystemText(GetLastError());
    }
    return std::nullopt;
}

int CreateTemporary(const std::filesystem::path& temporary, bool) {
    return ::_wopen(temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
}

// Nothing to do before the replacement: ReplaceFileW keeps the replaced
// file's attributes and access rights (what POSIX keeps as mode, owner and
// group; Wine keeps no Windows attributes on a Unix file system).
std::optional<Problem> KeepAttributes(int, const Status&) {
    return std::nullopt;
}

int SyncToDisk(int fd) {
    return ::_commit(fd);
}

// The C library opens the temporary without delete sharing, so while it is
// open no other process can remove it or rename a file of its own over it.
bool StillNamed(const Status&, const std::filesystem::path&) {
    return true;
}

// A regular file is replaced with ReplaceFileW (see KeepAttributes); a new
// one is moved into place. Both are handed full paths: Wine's ReplaceFileW
// fails with ERROR_DIRECTORY for names relative to the working folder
// ("out.png" given on the command line, there already).
std::optional<std::string> Replace(const std::filesystem::path& temporaryName,
                                   const std::filesystem::path& targetName) {
    std::error_code error;
    const std::filesystem::path temporary = std::filesystem::absolute(temporaryName, error);
    const std::filesystem::path target =
        error ? targetName : std::filesystem::absolute(targetName, error);
    if (error) {
        return error.message();
    }
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool replaced = attributes != INVALID_FILE_ATTRIBUTES
                              ? ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                             REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                              : MoveFileExW(temporary.c_str(), target.c_str(),
                                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!replaced) {
        return SystemText(GetLastError());
    }
    return std::nullopt;
}

// While the temporary is open nobody can take its name (see StillNamed); it
// is closed before it is removed only after a replacement failed.
void Remove(const Status&, const std::filesystem::path& temporary) {
    DeleteFileW(temporary.c_str());
}

// No SIGPIPE to hold back. One write takes at most an unsigned count, so a
// large buffer goes in pieces.
int WriteFully(int fd, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - written, 1u << 30);
        const int n = ::_write(fd, bytes.data() + written, static_cast<unsigned>(chunk));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        written += static_cast<std::size_t>(n);
    }
    return 0;
}

// --- The process's standard streams

std::string_view NullDevice() {
    return "NUL";
}

// The system's standard handle first: the C library's check of a descriptor
// that was closed calls its invalid-parameter handler, which ends the
// process. Where the handle is there, the C library took it at start, or
// marked the descriptor -2 when it is of no use.
bool IsOpen(int fd) {
    const HANDLE standard = GetStdHandle(fd == 0   ? STD_INPUT_HANDLE
                                         : fd == 1 ? STD_OUTPUT_HANDLE
                                                   : STD_ERROR_HANDLE);
    if (standard == nullptr || standard == INVALID_HANDLE_VALUE) {
        return false;
    }
    const intptr_t handle = ::_get_osfhandle(fd);
    return handle != -1 && handle != -2;
}

int OpenNullDeviceAs(int fd) {
    const int opened = ::_open("NUL", (fd == 0 ? _O_RDONLY : _O_WRONLY) | _O_BINARY);
    if (opened < 0 || opened == fd) {
        return opened < 0 ? -1 : 0;
    }
    const int placed = ::_dup2(opened, fd);
    ::_close(opened);
    return placed == 0 ? 0 : -1;
}

// Windows has no SIGPIPE: a broken pipe already fails the write.
void KeepBrokenPipesFromSignalling() {}

// Windows' C library takes _IOLBF for full buffering: unbuffered is what
// writes each line as it ends (printf still writes a call's text at once).
void WriteByLines(std::FILE* stream) {
    std::setvbuf(stream, nullptr, _IONBF, 0);
}

bool ReaderGone(int) {
    return false;
}

// The lock is the file opened sharing nothing: a second opening fails while
// the first lives.
std::intptr_t TakeLock(const std::filesystem::path& folder, const char* name, bool create) {
    const HANDLE lock =
        ::CreateFileW((folder / name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                      create ? CREATE_NEW : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return lock == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(lock);
}

void ReleaseLock(std::intptr_t lock) {
    ::CloseHandle(reinterpret_cast<HANDLE>(lock));
}

// No mkdtemp: a random name, and CreateDirectoryW, which fails rather than
// take a folder that is already there. The user's temporary folder is the
// user's own.
std::filesystem::path MakeUniqueFolder(const std::filesystem::path& temp, std::string_view prefix,
                                       std::string& error) {
    std::random_device random;
    const std::wstring start = std::filesystem::path(std::string(prefix)).wstring();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path folder = temp / (start + std::to_wstring(random()));
        if (::CreateDirectoryW(folder.c_str(), nullptr)) {
            return folder;
        }
        if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    error = SystemText(::GetLastError());
    return {};
}

bool IsOwnFolder(const std::filesystem::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

} // namespace files::system
