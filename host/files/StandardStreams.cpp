#include "files/StandardStreams.h"

#include <cerrno>
#include <cstdio>
#include <iostream>

#include "files/FileKind.h"
#include "files/SystemCalls.h"

namespace files {

namespace {

constexpr const char* kStreamNames[] = {"standard input", "standard output", "standard error"};

} // namespace

std::optional<std::string> PrepareStandardStreams() {
    // In order, so each one reopened takes its own number.
    for (int fd = 0; fd < 3; ++fd) {
        if (!system::IsOpen(fd) && system::OpenNullDeviceAs(fd) != 0) {
            return "cannot open " + std::string(system::NullDevice()) + " for the closed " +
                   kStreamNames[fd] + ": " + ErrnoText(errno);
        }
    }
    system::KeepBrokenPipesFromSignalling();
    system::WriteByLines(stdout);
    return std::nullopt;
}

std::optional<std::string> FinishStandardOutput() {
    // The reason is known when this flush fails; a line that failed earlier
    // was dropped by stdio with its errno, and only the error mark is left.
    errno = 0;
    int error = std::cout.flush().bad() ? errno : 0;
    errno = 0;
    if (std::fflush(stdout) != 0 && error == 0) {
        error = errno;
    }
    if (!std::cout.bad() && !std::ferror(stdout)) {
        return std::nullopt;
    }
    if (error == 0 && system::ReaderGone(1)) {
        error = EPIPE;
    }
    return "cannot write standard output: " +
           (error != 0 ? ErrnoText(error) : std::string("a write to it failed"));
}

} // namespace files
