#include "base/WindowsArguments.h"

namespace sandbox {

std::wstring QuotedArgument(const std::wstring& word) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    // Before the closing quote, doubled too.
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

} // namespace sandbox
