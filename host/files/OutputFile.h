#pragma once

#include <filesystem>
#include <string_view>

#include "files/SystemCalls.h"

namespace files {

// What a writer accepts.
struct WriteRules {
    // Names the file's role in messages: "cannot write config 'x': ...".
    std::string_view what = "file";
    // "-" means standard output.
    bool allowStdout = false;
};

// A file being written as a whole, safely for whatever its path names:
// - a symbolic link is followed, through as many as 40 links (as many as the
//   system follows in a name; more is refused as a loop), and the file it
//   ends at is replaced; the link stays a link;
// - a regular file is replaced through a temporary file beside it, renamed
//   over it by Commit, so a reader sees the old content or the new, never a
//   part, and a failure leaves the old as it was. The replacement keeps the
//   file's permissions, owner and group (a file whose owner or group a
//   replacement could not keep is refused), and a read-only file is refused.
//   The temporary's name is fixed for each target, so one left by a killed
//   run is reused, never piled up; it is removed on every failure, and when
//   the writer goes without Commit;
// - a character device or a FIFO is written straight into, as a shell's
//   redirection would; a FIFO with no reader fails at once instead of waiting;
// - a directory, a block device or a socket is refused;
// - a missing file is created with the usual permissions (0666 less the
//   umask); its folder must exist;
// - "-" is standard output where the rules allow it.
// Every call throws Refused when the target is refused, WriteFailed when
// writing failed; either way nothing of the target was changed, except what
// already went into a device, a FIFO or standard output.
class OutputFile {
public:
    // Checks the target and opens it, or its temporary, for writing.
    OutputFile(const std::filesystem::path& path, const WriteRules& rules);
    // Without Commit: the temporary is removed and the target left as it was.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Appends to what is being written; may be called any number of times.
    void Write(std::string_view bytes);
    // Makes what was written the target's content: the temporary is synced
    // and renamed over the target, or the device closed.
    void Commit();

    // "output 'out.png'", "config 'a.cfg' (link to 'real/a.cfg')", as
    // messages name the target.
    const std::string& Name() const { return name_; }

private:
    // What is open, cleaned up even when the constructor throws half way:
    // the descriptor closed, the temporary (if any) removed unless kept.
    struct Open {
        int fd = -1;
        bool ownsFd = true;
        std::filesystem::path temporary; // empty unless a regular file is replaced
        system::Status made;             // the temporary as it was made: which file is ours
        bool keep = false;

        Open() = default;
        ~Open();
        Open(const Open&) = delete;
        Open& operator=(const Open&) = delete;
    };

    // A character device or a FIFO, written straight into.
    void OpenStream();
    // The temporary a regular file is written to, made to replace `existing`
    // (null: no file is there yet).
    void OpenTemporary(const system::Status* existing);
    [[noreturn]] void Fail(int error);

    std::string name_;
    std::filesystem::path target_;
    Open open_;
};

// The whole content of `path` in one go, through an OutputFile.
void WriteFile(const std::filesystem::path& path, std::string_view bytes, const WriteRules& rules);

// Writes all of `bytes` to an open descriptor (standard output, a device).
// A reader that went away is an error (EPIPE), not the end of the process.
// Throws WriteFailed naming `name`.
void WriteAll(int fd, std::string_view bytes, std::string_view name);

// The name of the temporary file WriteFile uses for `target` (a path in the
// same folder), for tests and for cleaning up after a killed run.
std::filesystem::path TemporaryFor(const std::filesystem::path& target);

} // namespace files
