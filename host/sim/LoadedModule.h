#pragma once

#include <memory>
#include <string>

#include "sdk/PluginDescriptor.h"

namespace sim {

// A plugin module opened the way the host loader opens one: by path, at run
// time, its descriptor read through the exported symbol `exports` and checked
// before anything in it is called.
class LoadedModule {
public:
    // Opens and checks the module. On failure the result is empty and `error`
    // says what was wrong: the file, the missing descriptor, the interface
    // version, or which entry is null.
    static std::unique_ptr<LoadedModule> Open(const std::string& path, std::string& error);

    // Unloads the module. Everything obtained from it must be gone by then.
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    const PluginDescriptor& Descriptor() const { return *descriptor_; }
    const std::string& Path() const { return path_; }
    // Address of a symbol the module exports, or nullptr.
    void* Symbol(const char* name) const;

private:
    LoadedModule(void* handle, const PluginDescriptor* descriptor, std::string path);

    void* handle_;
    const PluginDescriptor* descriptor_;
    std::string path_;
};

} // namespace sim
