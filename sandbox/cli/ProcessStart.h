#pragma once

#include <string>
#include <vector>

namespace sandbox {

// The program's arguments after its name, as UTF-8 text. On Windows they are
// taken wide from the system, since argv holds them in the ANSI code page,
// which cannot spell every file name.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Standard output and error pass bytes through unchanged: a PNG written to
// stdout must not gain a carriage return before each newline byte, nor the
// trace before each line, as Windows' text mode would add.
void UseBinaryStandardStreams();

} // namespace sandbox
