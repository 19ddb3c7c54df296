#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace sandbox {

namespace {

std::runtime_error WriteError(const std::filesystem::path& path, int error) {
    return std::runtime_error("cannot write '" + path.string() + "': " + std::strerror(error));
}

// The mode a newly created file would get, or the existing file's own, so a
// replacement does not silently change who may read it.
mode_t ModeFor(const std::filesystem::path& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        return existing.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

void WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    const std::filesystem::path directory =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::string pattern = (directory / ("." + path.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');

    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        throw WriteError(path, errno);
    }
    auto fail = [&](int error) {
        ::close(fd);
        ::unlink(name.data());
        return WriteError(path, error);
    };

    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw fail(errno);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fchmod(fd, ModeFor(path)) != 0 || ::fsync(fd) != 0) {
        throw fail(errno);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(name.data());
        throw WriteError(path, error);
    }
    if (::rename(name.data(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(name.data());
        throw WriteError(path, error);
    }
}

} // namespace sandbox
