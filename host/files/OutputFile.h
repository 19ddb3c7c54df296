#pragma once

#include <filesystem>
#include <string_view>

namespace files {

// What a writer accepts.
struct WriteRules {
    // Names the file's role in messages: "cannot write config 'x': ...".
    std::string_view what = "file";
    // "-" means standard output.
    bool allowStdout = false;
};

// Writes `bytes` as the whole content of `path`, safely for whatever the
// path names:
// - a symbolic link (any number of levels) is followed, and the file it
//   ends at is replaced; the link stays a link;
// - a regular file is replaced through a temporary file beside it and a
//   rename, so a reader sees the old content or the new, never a part, and a
//   failure leaves the old as it was. The replacement keeps the file's
//   permissions, owner and group (a file whose owner or group a replacement
//   could not keep is refused), and a read-only file is refused. The
//   temporary's name is fixed for each target, so one left by a killed run is
//   reused, never piled up; it is removed on every failure;
// - a character device or a FIFO is written straight into, as a shell's
//   redirection would; a FIFO with no reader fails at once instead of waiting;
// - a directory, a block device or a socket is refused;
// - a missing file is created with the usual permissions (0666 less the umask).
// Throws Refused when the target is refused, WriteFailed when writing failed.
void WriteFile(const std::filesystem::path& path, std::string_view bytes, const WriteRules& rules);

// Writes all of `bytes` to an open descriptor (standard output, a device).
// A reader that went away is an error (EPIPE), not the end of the process.
// Throws WriteFailed naming `name`.
void WriteAll(int fd, std::string_view bytes, std::string_view name);

// The name of the temporary file WriteFile uses for `target` (a path in the
// same folder), for tests and for cleaning up after a killed run.
std::filesystem::path TemporaryFor(const std::filesystem::path& target);

} // namespace files
