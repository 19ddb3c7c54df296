#include "files/FileKind.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace files {

std::string_view KindName(mode_t mode) {
    if (S_ISREG(mode)) {
        return "a regular file";
    }
    if (S_ISDIR(mode)) {
        return "a directory";
    }
    if (S_ISCHR(mode)) {
        return "a character device";
    }
    if (S_ISBLK(mode)) {
        return "a block device";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO (named pipe)";
    }
#if defined(S_ISSOCK) // Windows' C library knows no sockets or links among files.
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    if (S_ISLNK(mode)) {
        return "a symbolic link";
    }
#endif
    return "not a regular file";
}

std::string ErrnoText(int error) {
    if (error == ENOENT) {
        return "no such file";
    }
    if (error == EPIPE) {
        return "the reader went away (broken pipe)";
    }
    return std::strerror(error);
}

} // namespace files
