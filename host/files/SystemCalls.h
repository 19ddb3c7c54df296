#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>

// The system operations the file layer is built on, one definition of each
// per platform (SystemCallsPosix.cpp, SystemCallsWindows.cpp). What the layer
// does with what they find, and every message it forms, is the same
// everywhere and lives with InputFile and OutputFile. Like the calls they
// wrap, those that can fail return -1 and leave the reason in errno.
namespace files::system {

// --- Reading

// What a reader needs to know of a file: its kind, and the size of a regular
// file.
struct Status {
    mode_t mode = 0;
    std::uint64_t size = 0;
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

} // namespace files::system
