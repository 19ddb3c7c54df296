#include "cli/ProcessStart.h"

#if defined(_WIN32)
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#endif

namespace sandbox {

#if defined(_WIN32)
std::vector<std::string> CommandLineArguments(int, char**) {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; words != nullptr && i < count; ++i) {
        const int length = int(wcslen(words[i]));
        const int size =
            WideCharToMultiByte(CP_UTF8, 0, words[i], length, nullptr, 0, nullptr, nullptr);
        std::string word(size, '\0');
        WideCharToMultiByte(CP_UTF8, 0, words[i], length, word.data(), size, nullptr, nullptr);
        arguments.push_back(std::move(word));
    }
    LocalFree(words);
    return arguments;
}

void UseBinaryStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}
#else
std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

void UseBinaryStandardStreams() {}
#endif

} // namespace sandbox
