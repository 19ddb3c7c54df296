#pragma once

#include <string>

namespace sandbox {

// Windows only: one argument of a command line quoted so that the C
// runtime's parsing and CommandLineToArgvW give it back unchanged
// (backslashes are literal except before a quote), for starting a program
// with CreateProcessW.
std::wstring QuotedArgument(const std::wstring& word);

} // namespace sandbox
