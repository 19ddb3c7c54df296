// The Windows side of InputFile: the same rules through the C library's
// descriptors, opened by wide name. Windows has no FIFOs in its file system,
// so nothing a name opens can block, and a file is read at a position by
// seeking (no pread).

#include "InputFile.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

#include "FileError.h"
#include "FileKind.h"

namespace files {

namespace {

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

} // namespace

InputFile::InputFile(const std::filesystem::path& path, const ReadRules& rules)
    : what_(rules.what), maxBytes_(rules.maxBytes) {
    const bool standardInput = rules.allowStdin && path == "-";
    name_ = standardInput ? "standard input" : "'" + Utf8(path) + "'";

    struct _stat64 info {};
    if (!standardInput) {
        if (::_wstat64(path.c_str(), &info) != 0) {
            Fail(ErrnoText(errno));
        }
        if (!S_ISREG(info.st_mode)) {
            Fail(std::string("it is ") + std::string(KindName(info.st_mode)) +
                 ", not a regular file");
        }
        fd_ = ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
        if (fd_ < 0) {
            Fail(ErrnoText(errno));
        }
    } else {
        fd_ = 0;
        ownsFd_ = false;
        ::_setmode(fd_, _O_BINARY);
    }
    if (::_fstat64(fd_, &info) != 0) {
        Fail(ErrnoText(errno));
    }
    if (S_ISREG(info.st_mode)) {
        size_ = static_cast<std::uint64_t>(info.st_size);
        if (size_ > maxBytes_) {
            Fail("it is " + std::to_string(size_) + " bytes, more than the " + SizeText(maxBytes_) +
                 " a " + what_ + " may have");
        }
    } else if (!standardInput) {
        Fail(std::string("it is ") + std::string(KindName(info.st_mode)) + ", not a regular file");
    } else if (S_ISDIR(info.st_mode)) {
        Fail("it is a directory");
    } else {
        stream_ = true;
    }
}

InputFile::~InputFile() {
    if (ownsFd_ && fd_ >= 0) {
        ::_close(fd_);
    }
}

void InputFile::Fail(const std::string& reason) const {
    throw Refused("cannot read " + what_ + " " + name_ + ": " + reason);
}

std::string InputFile::ReadAll() {
    std::string bytes;
    bytes.reserve(stream_ ? 0 : static_cast<std::size_t>(size_));
    char block[65536];
    for (;;) {
        const int n = ::_read(fd_, block, sizeof block);
        if (n == 0) {
            return bytes;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
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
    if (::_lseeki64(fd_, static_cast<__int64>(offset), SEEK_SET) < 0) {
        Fail("read error: " + ErrnoText(errno));
    }
    std::string bytes(count, '\0');
    std::size_t done = 0;
    while (done < count) {
        const int n = ::_read(fd_, bytes.data() + done, static_cast<unsigned>(count - done));
        if (n == 0) {
            break;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail("read error: " + ErrnoText(errno));
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

} // namespace files
