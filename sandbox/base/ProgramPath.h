#pragma once

#include <filesystem>
#include <string>

namespace sandbox {

// The running program's own file, empty when the system does not say. The
// plugin module is looked for beside it, as the game's host keeps its modules
// in a folder it knows rather than wherever it was started from.
std::filesystem::path ProgramPath();

// Text of a path as UTF-8, on every platform, for messages and for the
// std::string paths the host takes.
std::string PathText(const std::filesystem::path& path);

// The path a UTF-8 text names (the inverse of PathText).
std::filesystem::path PathFromText(const std::string& text);

} // namespace sandbox
