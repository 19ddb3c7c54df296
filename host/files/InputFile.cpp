#include "files/InputFile.h"

#include <sys/stat.h>

#include <cerrno>

#include "files/FileError.h"
#include "files/FileKind.h"
#include "files/PathText.h"
#include "files/SystemCalls.h"

namespace files {

InputFile::InputFile(const std::filesystem::path& path, const ReadRules& rules)
    : what_(rules.what), maxBytes_(rules.maxBytes) {
    const bool standardInput = rules.allowStdin && path == "-";
    name_ = standardInput ? "standard input" : "'" + PathText(path) + "'";

    // Refused before it is opened, where the kind already says so: opening a
    // device can have effects of its own.
    system::Status info;
    if (!standardInput) {
        if (system::StatusOfName(path, info) != 0) {
            Fail(ErrnoText(errno));
        }
        if (!S_ISREG(info.mode)) {
            Fail(std::string("it is ") + std::string(KindName(info.mode)) + ", not a regular file");
        }
        fd_ = system::OpenToRead(path);
        if (fd_ < 0) {
            Fail(ErrnoText(errno));
        }
    } else {
        fd_ = system::StandardInput();
        ownsFd_ = false;
    }
    // What was opened is what counts: the name may have changed in between.
    if (system::StatusOfOpen(fd_, info) != 0) {
        Fail(ErrnoText(errno));
    }
    if (S_ISREG(info.mode)) {
        size_ = info.size;
        if (size_ > maxBytes_) {
            Fail("it is " + std::to_string(size_) + " bytes, more than the " + SizeText(maxBytes_) +
                 " a " + what_ + " may have");
        }
    } else if (!standardInput) {
        Fail(std::string("it is ") + std::string(KindName(info.mode)) + ", not a regular file");
    } else if (S_ISDIR(info.mode)) {
        Fail("it is a directory");
    } else {
        stream_ = true;
    }
}

InputFile::~InputFile() {
    if (ownsFd_ && fd_ >= 0) {
        system::Close(fd_);
    }
}

void InputFile::Fail(const std::string& reason) const {
    throw Refused("cannot read " + what_ + " " + name_ + ": " + reason);
}

std::string InputFile::ReadAll() {
    std::string bytes;
    // A regular file's size is known; a stream grows in blocks. Either way
    // the limit is checked as the bytes arrive, so a file that grows while
    // it is read cannot slip past it.
    bytes.reserve(stream_ ? 0 : static_cast<std::size_t>(size_));
    char block[65536];
    for (;;) {
        const std::int64_t n = system::Read(fd_, block, sizeof block);
        if (n == 0) {
            return bytes;
        }
        if (n < 0) {
            Fail("read error: " + ErrnoText(errno));
        }
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes_) {
            Fail("more than the " + SizeText(maxBytes_) + " a " + what_ + " may have");
        }
        bytes.append(block, static_cast<std::size_t>(n));
    }
}

std::string InputFile::ReadAt(std::uint64_t offset, std::size_t count) {
    if (stream_) {
        Fail("it is a stream, and a stream cannot be read at a position");
    }
    std::string bytes(count, '\0');
    std::size_t done = 0;
    while (done < count) {
        const std::int64_t n =
            system::ReadAt(fd_, bytes.data() + done, count - done, offset + done);
        if (n == 0) {
            break;
        }
        if (n < 0) {
            Fail("read error: " + ErrnoText(errno));
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

} // namespace files
