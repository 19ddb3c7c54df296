#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "files/InputFile.h"

// The format side of the module file check: the platform's module format is
// checked by CheckFormat, ELF on POSIX (ModuleImageElf.cpp), PE on Windows
// (ModuleImagePe.cpp), with the helpers below for reading headers.
// CheckModuleImage (ModuleImageCheck.cpp) opens the file and names it in the
// message.
namespace sim::image {

// What keeps the module in `file` from being mapped safely ("not an ELF
// file", "truncated: ..."), or nothing when it passes.
std::optional<std::string> CheckFormat(files::InputFile& file);

// A header record at `offset` of bytes read from the file, which the caller
// has checked to hold it.
template <typename T> T Read(std::string_view bytes, std::size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

// "truncated: the section table ends at byte 4096 but the file has 1000":
// `partEnds` is the part that reaches past the file's `size` with its verb
// ("the section table ends", "the program headers end").
std::string Truncated(std::string_view partEnds, std::string_view end, std::uint64_t size);
std::string Truncated(std::string_view partEnds, std::uint64_t end, std::uint64_t size);

// A table of headers (`length` bytes at `offset`), or why the file cannot
// give it: the table reaches past the end of the file, or the file shrank
// while it was read.
struct Table {
    std::string bytes;
    std::optional<std::string> problem;
};
Table ReadTable(files::InputFile& file, std::uint64_t offset, std::uint64_t length,
                std::string_view partEnds);

} // namespace sim::image
