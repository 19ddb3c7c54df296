#pragma once

#include <string>

// The platform's part of loading a plugin module: opening a shared library by
// path, finding a symbol in it, closing it, and asking whether one is loaded.
// Everything else about loading a module is the same on every platform.
namespace sim {

// Opens the library at `path` with every symbol bound at once and none of
// them made visible to other libraries. Returns an opaque handle, or null with
// `error` holding the platform loader's own explanation.
void* OpenModuleLibrary(const std::string& path, std::string& error);

// Address of a symbol the library exports, or null.
void* FindModuleSymbol(void* library, const char* name);

// Closes a library OpenModuleLibrary opened. The platform unloads it when no
// other opening holds it.
void CloseModuleLibrary(void* library);

// True while the library at `path` is loaded in this process.
bool ModuleLibraryIsLoaded(const std::string& path);

} // namespace sim
