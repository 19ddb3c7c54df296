#pragma once

#include <filesystem>
#include <string>

namespace files {

// Text of a path as UTF-8, on every platform, for messages and for the
// std::string paths the host takes. On POSIX a name's bytes are taken as
// they are; on Windows the system's UTF-16 name is converted.
std::string PathText(const std::filesystem::path& path);

// The path a UTF-8 text names (the inverse of PathText).
std::filesystem::path PathFromText(const std::string& text);

} // namespace files
