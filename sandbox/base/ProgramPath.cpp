#include "base/ProgramPath.h"

#if defined(_WIN32)
#include <windows.h>

#include <vector>
#endif

namespace sandbox {

#if defined(_WIN32)
std::filesystem::path ProgramPath() {
    std::vector<wchar_t> name(MAX_PATH);
    while (true) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), DWORD(name.size()));
        if (length == 0) {
            return {};
        }
        // A name that fills the buffer may have been cut short.
        if (length < name.size()) {
            return std::filesystem::path(std::wstring(name.data(), length));
        }
        name.resize(name.size() * 2);
    }
}
#else
std::filesystem::path ProgramPath() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program;
}
#endif

// QUELLMARK_MODULE_FILE_NAME comes from the build.
std::string ModuleBesideProgram() {
    const std::filesystem::path program = ProgramPath();
    if (program.empty()) {
        return QUELLMARK_MODULE_FILE_NAME;
    }
    return PathText(program.parent_path() / QUELLMARK_MODULE_FILE_NAME);
}

} // namespace sandbox
