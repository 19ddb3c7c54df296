#include "sim/LoadedModule.h"

#include "sim/ModuleImageCheck.h"
#include "sim/ModuleLibrary.h"

namespace sim {

namespace {

const char* FirstNullEntry(const PluginDescriptor& d) {
    if (d.sourcePath == nullptr) {
        return "sourcePath";
    }
    if (d.className == nullptr) {
        return "className";
    }
    if (d.title == nullptr) {
        return "title";
    }
    if (d.versionText == nullptr) {
        return "versionText";
    }
    if (d.factory == nullptr) {
        return "factory";
    }
    if (d.release == nullptr) {
        return "release";
    }
    return nullptr;
}

} // namespace

std::unique_ptr<LoadedModule> LoadedModule::Open(const std::string& path, std::string& error) {
    // The loader maps what it is given: a file it cannot map whole must not reach it.
    if (auto problem = CheckModuleImage(path)) {
        error = *problem;
        return nullptr;
    }
    std::string reason;
    void* handle = OpenModuleLibrary(path, reason);
    if (handle == nullptr) {
        error = "cannot open module '" + path + "': " + reason;
        return nullptr;
    }
    auto* descriptor = static_cast<const PluginDescriptor*>(FindModuleSymbol(handle, "exports"));
    if (descriptor == nullptr) {
        CloseModuleLibrary(handle);
        error = "'" + path + "' is not a plugin module: it has no descriptor (symbol 'exports')";
        return nullptr;
    }
    if (descriptor->interfaceVersion != kPluginInterfaceVersion) {
        const int version = descriptor->interfaceVersion;
        CloseModuleLibrary(handle);
        error = "'" + path + "' has plugin interface version " + std::to_string(version) +
                "; this host loads version " + std::to_string(kPluginInterfaceVersion);
        return nullptr;
    }
    if (const char* entry = FirstNullEntry(*descriptor)) {
        CloseModuleLibrary(handle);
        error = "'" + path + "' has a null descriptor entry: " + entry;
        return nullptr;
    }
    return std::unique_ptr<LoadedModule>(new LoadedModule(handle, descriptor, path));
}

LoadedModule::LoadedModule(void* handle, const PluginDescriptor* descriptor, std::string path)
    : handle_(handle), descriptor_(descriptor), path_(std::move(path)) {}

LoadedModule::~LoadedModule() {
    CloseModuleLibrary(handle_);
}

void* LoadedModule::Symbol(const char* name) const {
    return FindModuleSymbol(handle_, name);
}

} // namespace sim
