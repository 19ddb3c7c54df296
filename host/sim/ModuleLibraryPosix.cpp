#include "sim/ModuleLibrary.h"

#include <dlfcn.h>

namespace sim {

void* OpenModuleLibrary(const std::string& path, std::string& error) {
    // dlopen searches the library path for a bare name; a path never surprises.
    const std::string openPath = path.find('/') == std::string::npos ? "./" + path : path;
    void* library = dlopen(openPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = dlerror();
        error = reason ? reason : "unknown error";
    }
    return library;
}

void* FindModuleSymbol(void* library, const char* name) {
    return dlsym(library, name);
}

void CloseModuleLibrary(void* library) {
    dlclose(library);
}

bool ModuleLibraryIsLoaded(const std::string& path) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) {
        return false;
    }
    dlclose(library);
    return true;
}

} // namespace sim
