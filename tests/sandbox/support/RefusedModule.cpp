// A plugin module with one fault in its descriptor, chosen at compile time,
// for the sandbox to refuse. Its factory and release are never meant to run.
#include <memory>

#include "sdk/PluginDescriptor.h"
#include "support/TestModuleExport.h"

#if defined(REFUSED_NO_DESCRIPTOR)

// No descriptor at all: only something else exported.
extern "C" {
TEST_MODULE_EXPORT int notADescriptor = kPluginInterfaceVersion;
}

#else

namespace {

void ReleaseNothing() {}

} // namespace

#if defined(REFUSED_WRONG_VERSION)

namespace {

std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>* MakeNothing() {
    static std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin> nothing;
    return &nothing;
}

} // namespace

extern "C" TEST_MODULE_EXPORT const PluginDescriptor exports = {kPluginInterfaceVersion - 1,
                                                                "RefusedModule.cpp",
                                                                "Refused",
                                                                "wrong interface version",
                                                                "0",
                                                                1,
                                                                MakeNothing,
                                                                ReleaseNothing};
#else
extern "C" TEST_MODULE_EXPORT const PluginDescriptor exports = {
    kPluginInterfaceVersion, "RefusedModule.cpp", "Refused", "null factory", "0", 1, nullptr,
    ReleaseNothing};
#endif

#endif
