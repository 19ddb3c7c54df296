#pragma once

#include "sdk/PluginDescriptor.h"

// The descriptor of a plugin module built for a test: this interface's
// version, a made-up version text, plugin type 1, and the module's own names,
// factory and release. Constant, so that the module's `exports` is ready
// before any of its code runs, as a real module's is.
constexpr PluginDescriptor TestModuleDescriptor(const char* sourcePath, const char* className,
                                                const char* title, PluginFactory factory,
                                                PluginRelease release) {
    return {kPluginInterfaceVersion, sourcePath, className, title, "0.0.0.1", 1, factory, release};
}
