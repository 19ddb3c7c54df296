#pragma once

#include <filesystem>
#include <string>

namespace wintest {

// The folder this test program was started from. The build puts the DLLs
// beside it, where a Windows host keeps its modules too.
std::filesystem::path ProgramFolder();

// The system's own text for a Win32 error code.
std::string SystemMessage(unsigned long code);

} // namespace wintest
