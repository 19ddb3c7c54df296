#pragma once

#include <string>

namespace files {

// Windows only: the system's text for an error code (GetLastError's), as
// UTF-8 without its closing full stop and line end; "Windows error N" where
// the system has none.
std::string SystemText(unsigned long code);

} // namespace files
