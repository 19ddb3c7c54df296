#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace BakkesMod::Plugin {
class BakkesModPlugin;
}

// The version of this host interface: a module whose descriptor carries another
// number was built against a different SDK and must not be loaded.
inline constexpr std::int32_t kPluginInterfaceVersion = 95;

// Creates the module's plugin on first call and returns the address of the
// module's shared reference to it; later calls return the same address and
// instance. The host copies the reference it finds there if it wants to keep
// the plugin alive independently of the module.
using PluginFactory = std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>* (*)();

// Drops the module's reference. The plugin dies with its last owner, which may
// be a copy the host still holds.
using PluginRelease = void (*)();

// What the host loader reads first, through the exported symbol `exports`:
// 64 bytes, 8-byte pointers, fillers zero. Every pointer is valid as long as
// the module is loaded.
struct PluginDescriptor {
    std::int32_t interfaceVersion; // kPluginInterfaceVersion
    const char* sourcePath;        // build-time path of the plugin's main source
    const char* className;
    const char* title;
    const char* versionText;
    std::int32_t pluginType;
    PluginFactory factory;
    PluginRelease release;
};

static_assert(sizeof(PluginDescriptor) == 64);
static_assert(offsetof(PluginDescriptor, interfaceVersion) == 0);
static_assert(offsetof(PluginDescriptor, sourcePath) == 8);
static_assert(offsetof(PluginDescriptor, className) == 16);
static_assert(offsetof(PluginDescriptor, title) == 24);
static_assert(offsetof(PluginDescriptor, versionText) == 32);
static_assert(offsetof(PluginDescriptor, pluginType) == 40);
static_assert(offsetof(PluginDescriptor, factory) == 48);
static_assert(offsetof(PluginDescriptor, release) == 56);
