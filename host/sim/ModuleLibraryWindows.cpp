#include "sim/ModuleLibrary.h"

#include <windows.h>

#include <filesystem>
#include <string_view>

#include "files/PathText.h"
#include "files/SystemText.h"

namespace sim {

namespace {

// Paths are UTF-8 text everywhere else in the host; Windows wants them wide,
// and fully qualified for the search flags below.
std::wstring FullPath(std::string_view path) {
    std::filesystem::path given = files::PathFromText(std::string(path));
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(given, error);
    return (error ? given : full).make_preferred().wstring();
}

} // namespace

void* OpenModuleLibrary(const std::string& path, std::string& error) {
    // The module's own folder is searched for what it imports (pluginsdk.dll
    // beside it), then the program's folder and the system's; never the current
    // folder or PATH. No error box either: a host reports a bad module itself.
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    const HMODULE library =
        LoadLibraryExW(FullPath(path).c_str(), nullptr,
                       LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    const DWORD code = GetLastError();
    SetThreadErrorMode(previousMode, nullptr);
    if (library == nullptr) {
        error = files::SystemText(code);
    }
    return library;
}

void* FindModuleSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseModuleLibrary(void* library) {
    FreeLibrary(static_cast<HMODULE>(library));
}

bool ModuleLibraryIsLoaded(const std::string& path) {
    HMODULE library = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, FullPath(path).c_str(),
                              &library) != 0;
}

} // namespace sim
