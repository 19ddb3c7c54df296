#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace files {

// What a reader accepts. Every caller states its own size limit, so a file
// that is far too large (or a device that never ends) is refused before it
// fills the memory.
struct ReadRules {
    // Names the file's role in messages: "cannot read scenario 'x': ...".
    std::string_view what = "file";
    // The most bytes read; anything larger is refused.
    std::uint64_t maxBytes = 0;
    // "-" means standard input, read to its end (up to maxBytes) whatever it
    // is: a pipe, a terminal, a redirected file. Named files are always
    // regular files.
    bool allowStdin = false;
};

// A file open for reading that was checked to be what the rules accept.
// Opened without blocking, so a FIFO with no writer cannot hang the program
// before it is refused. Any read error throws Refused; it never reads as an
// early end of the file.
class InputFile {
public:
    // Throws Refused naming the file when it is missing, of the wrong kind,
    // larger than the limit, or cannot be opened.
    InputFile(const std::filesystem::path& path, const ReadRules& rules);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // The size of a regular file (standard input: 0).
    std::uint64_t Size() const { return size_; }

    // Everything from the current position to the end, refusing more than
    // the rules' maxBytes.
    std::string ReadAll();

    // Up to `count` bytes at `offset` of a regular file: fewer only at its
    // end. Used to read a header without reading the whole file.
    std::string ReadAt(std::uint64_t offset, std::size_t count);

private:
    [[noreturn]] void Fail(const std::string& reason) const;

    std::string name_;
    std::string what_;
    std::uint64_t maxBytes_;
    std::uint64_t size_ = 0;
    int fd_ = -1;
    bool ownsFd_ = true;
    bool stream_ = false;
};

// The whole file, as InputFile reads it.
std::string ReadFile(const std::filesystem::path& path, const ReadRules& rules);

// "16 MiB", "1 MiB", "512 bytes": a limit as messages and documentation say it.
std::string SizeText(std::uint64_t bytes);

} // namespace files
