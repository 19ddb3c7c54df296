#pragma once

#include <stdexcept>

namespace files {

// Every failure of the file layer names the file and says what went wrong.
// The two kinds differ in whose fault it is, so a program can answer each with
// its own exit status.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file given cannot be used as asked: it is missing, not a regular file,
// too large, unreadable, read-only, or a kind of file that is never written
// (a directory, a block device, a socket). Nothing was changed.
class Refused : public Error {
public:
    using Error::Error;
};

// Writing was attempted and did not complete: a full disk, a folder that
// cannot be written, a name too long, a FIFO nobody reads. What was there
// before is as it was.
class WriteFailed : public Error {
public:
    using Error::Error;
};

} // namespace files
