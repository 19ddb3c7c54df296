#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The system operations the file layer is built on, one definition of each
// per platform (SystemCallsPosix.cpp, SystemCallsWindows.cpp). What the layer
// does with what they find, and every message it forms, is the same
// everywhere and lives with InputFile and OutputFile. Like the calls they
// wrap, those that can fail return -1 and leave the reason in errno; where
// only one platform has a reason to refuse, it is handed back in words.
namespace files::system {

// --- Reading

// What the layer needs to know of a file: its kind, the size of a regular
// file, and what a replacement of it keeps.
struct Status {
    mode_t mode = 0;
    std::uint64_t size = 0;
    // POSIX's owner and group; 0 on Windows, where ReplaceFileW keeps what
    // stands for them.
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
    // Which file it is, whatever its name: POSIX's device and inode (0 on
    // Windows, which tells files apart otherwise).
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// Of the file a name ends at, links followed. 0 or -1.
int StatusOfName(const std::filesystem::path& path, Status& status);
// Of what a descriptor has open. 0 or -1.
int StatusOfOpen(int fd, Status& status);

// A descriptor reading the named file, or -1. Opening never waits (for a
// FIFO's writer, say), and the descriptor is not inherited by child
// processes.
int OpenToRead(const std::filesystem::path& path);
// Standard input's descriptor, set to pass bytes as they are.
int StandardInput();
// 0 or -1.
int Close(int fd);

// Up to `count` bytes into `into`: how many came (0 at the end), or -1. An
// interrupted read is tried again, and a stream with nothing yet is waited
// for, so 0 only ever means the end.
std::int64_t Read(int fd, char* into, std::size_t count);
// The same at `offset` of a regular file. May move the file's position.
std::int64_t ReadAt(int fd, char* into, std::size_t count, std::uint64_t offset);

// --- Writing

// Standard output's descriptor, set to pass bytes as they are.
int StandardOutput();

// What stands at a writer's target, its links already followed.
struct Target {
    // 0 when something is there, else the errno value of the look (ENOENT:
    // nothing is).
    int error = 0;
    Status status;
    // Written straight into, as a shell's redirection would, instead of
    // replaced.
    bool stream = false;
};
Target LookAt(const std::filesystem::path& target);
// The kinds of file a writer writes, as its refusal of the others says them.
std::string_view WrittenKinds();

// A descriptor writing into a stream target, or -1 (ENXIO: a FIFO that no
// process reads).
int OpenStream(const std::filesystem::path& target);
// Why what OpenStream opened is not the stream the look found, or nothing;
// the descriptor is then ready to be written.
std::optional<std::string> SettleStream(int fd);

// Why an existing regular file is not to be replaced (it is read-only, say),
// or nothing.
std::optional<std::string> ReplaceRefusal(const std::filesystem::path& target,
                                          const Status& existing);

// The longest file name `folder` takes, in the units of the system's own
// names (path::string_type).
std::size_t MostNameLength(const std::filesystem::path& folder);
// Removes the temporary a killed run left behind: what went wrong, in words,
// or nothing (also when there was none).
std::optional<std::string> RemoveLeftover(const std::filesystem::path& temporary);
// Creates a temporary anew (never opening one that is there) to take the
// place of an existing file (`replacing`) or of none. A descriptor, or -1.
int CreateTemporary(const std::filesystem::path& temporary, bool replacing);

// Why a step went wrong: `refused` when the target is not to be written as it
// is, else writing failed.
struct Problem {
    bool refused = false;
    std::string reason;
};
// Gives the temporary open at `fd` what of the existing file a replacement
// keeps, where that is done before the replacement.
std::optional<Problem> KeepAttributes(int fd, const Status& existing);

// Makes what was written to `fd` reach the disk. 0 or -1.
int SyncToDisk(int fd);
// Whether `temporary` still names our file, `ours` being its status when it
// was made.
bool StillNamed(const Status& ours, const std::filesystem::path& temporary);
// Puts the closed temporary in the target's place: what went wrong, in
// words, or nothing.
std::optional<std::string> Replace(const std::filesystem::path& temporary,
                                   const std::filesystem::path& target);
// Removes a temporary that is not to become the target, as well as it can,
// and only while the name is still ours (see StillNamed): another writer's
// file under it is left alone. One left behind is removed by the next writer
// of the same target.
void Remove(const Status& ours, const std::filesystem::path& temporary);

// Writes all of `bytes`, trying interrupted writes again: 0, or the errno
// value of the write that failed (EPIPE: the reader went away; never a
// signal that ends the process).
int WriteFully(int fd, std::string_view bytes);

// --- The process's standard streams

// The null device's name: "/dev/null", "NUL".
std::string_view NullDevice();
// Whether standard stream `fd` (0, 1 or 2) is open.
bool IsOpen(int fd);
// Opens the null device as descriptor `fd`, for reading when it is 0, else
// for writing. 0 or -1.
int OpenNullDeviceAs(int fd);
// From now on a write to a pipe nobody reads fails with EPIPE instead of
// ending the process.
void KeepBrokenPipesFromSignalling();
// Makes `stream` write each line as it ends (or sooner), whatever it is
// connected to.
void WriteByLines(std::FILE* stream);
// Whether `fd` is a pipe whose reader went away, as far as can be told
// without writing to it.
bool ReaderGone(int fd);

// --- A run's private folder (PrivateFolder)

// A lock on the file `name` in `folder`, made there when `create`: a value
// that holds it until ReleaseLock, or -1 when another process holds it (or
// it cannot be opened). The system lets go of it when its process ends.
std::intptr_t TakeLock(const std::filesystem::path& folder, const char* name, bool create);
void ReleaseLock(std::intptr_t lock);
// A new folder in `temp` named `prefix` and a random part, which only this
// user can enter; empty with the reason in `error` when none can be made.
std::filesystem::path MakeUniqueFolder(const std::filesystem::path& temp, std::string_view prefix,
                                       std::string& error);
// Whether `path` is a folder of this user's, not a link to one.
bool IsOwnFolder(const std::filesystem::path& path);

} // namespace files::system
