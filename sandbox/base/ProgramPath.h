#pragma once

#include <filesystem>
#include <string>

#include "files/PathText.h"

namespace sandbox {

// The running program's own file, empty when the system does not say. The
// plugin module is looked for beside it, as the game's host keeps its modules
// in a folder it knows rather than wherever it was started from.
std::filesystem::path ProgramPath();

// The plugin module's path when none is given: the build's module file name
// (Quellmark.so, Quellmark.dll) beside this program, or the bare name when
// the system does not say where the program is. UTF-8, as the host takes it.
std::string ModuleBesideProgram();

// Paths as UTF-8 text, as the file layer converts them.
using files::PathFromText;
using files::PathText;

} // namespace sandbox
