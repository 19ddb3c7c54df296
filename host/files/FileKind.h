#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace files {

// The kind of file a mode says, as a message puts it: "a directory",
// "a character device", "a FIFO (named pipe)", ...
std::string_view KindName(mode_t mode);

// What an errno value means, in the words messages use ("no such file" for
// ENOENT, "the reader went away (broken pipe)" for EPIPE, else the system's
// text).
std::string ErrnoText(int error);

} // namespace files
