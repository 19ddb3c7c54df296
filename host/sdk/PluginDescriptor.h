#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace BakkesMod::Plugin {
class BakkesModPlugin;
}

// The module's entry points for the host loader. When the loader calls them,
// and on which thread: BakkesModPlugin.h.

// The version of this host interface. The loader refuses a module whose
// descriptor carries another number: it was built against a different SDK.
inline constexpr std::int32_t kPluginInterfaceVersion = 95;

// The factory, exported as `getPlugin`. Creates the plugin if the module holds
// none and returns the address of the module's shared reference to it, never
// null; later calls return the same address and plugin. The address stays the
// module's: a host that wants the plugin alive on its own copies the reference.
// If allocation fails, std::bad_alloc reaches the host and nothing is created.
using PluginFactory = std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>* (*)();

// The release function, exported as `deleteMe`; called after onUnload. Empties
// the module's reference (nothing to do if it is empty already); the plugin
// dies now unless the host still holds a copy. A factory call after it creates
// a new plugin.
using PluginRelease = void (*)();

// What the loader reads first, through the exported data symbol `exports`:
// 64 bytes, little-endian, 8-byte pointers, fillers zero. Constant data, ready
// before any code of the module runs. Every pointer is the module's, never
// null, and valid while the module is loaded; the strings end in NUL.
struct PluginDescriptor {
    // kPluginInterfaceVersion; the loader checks it before any other field.
    std::int32_t interfaceVersion;
    // Where the plugin's main source file was when the module was built, as
    // the compiler saw it: information only, never opened.
    const char* sourcePath;
    // The plugin's class name, by which the host names it.
    const char* className;
    // One line describing the plugin, shown to the user.
    const char* title;
    // The plugin's version, shown to the user; the Windows module's version
    // resource carries the same number.
    const char* versionText;
    // The plugin's kind, a set of flags for the loader. 1 is the plain kind: it
    // asks for no treatment beyond BakkesModPlugin.h's, in particular no thread
    // of the plugin's own. The stand-in loader gives it no meaning.
    std::int32_t pluginType;
    // The factory and the release function above.
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
