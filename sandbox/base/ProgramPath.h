#pragma once

#include <filesystem>

#include "files/PathText.h"

namespace sandbox {

// The running program's own file, empty when the system does not say. The
// plugin module is looked for beside it, as the game's host keeps its modules
// in a folder it knows rather than wherever it was started from.
std::filesystem::path ProgramPath();

// Paths as UTF-8 text, as the file layer converts them.
using files::PathFromText;
using files::PathText;

} // namespace sandbox
