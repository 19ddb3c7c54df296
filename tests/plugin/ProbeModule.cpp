// A plugin module that writes every step the host takes with it to the host's
// console, so that tests can read the order back from the console's output
// (the lines "> STEP"). Its factory is chosen at compile time:
//   PROBE_NULL_ADDRESS     returns a null address;
//   PROBE_EMPTY_REFERENCE  returns the address of an empty reference;
//   otherwise              makes the plugin as a real module does.
#include <cstdint>
#include <memory>
#include <string>

#include "sdk/BakkesModPlugin.h"
#include "sdk/GameWrapper.h"
#include "sdk/PluginDescriptor.h"
#include "sdk/PluginSettingsWindow.h"
#include "support/TestModuleDescriptor.h"
#include "support/TestModuleExport.h"

namespace {

class ProbePlugin : public BakkesMod::Plugin::BakkesModPlugin,
                    public BakkesMod::Plugin::PluginSettingsWindow {
public:
    ~ProbePlugin() { Note("destroyed"); }

    void onLoad() override {
        Note("onLoad");
        gameWrapper->RegisterDrawable([](CanvasWrapper) {});
    }
    void onUnload() override { Note("onUnload"); }

    void DrawSettingsPanel() override {}
    std::string GetPanelName() override { return "Probe"; }
    void SetUiContext(std::uintptr_t context) override {
        Note("SetUiContext " + std::to_string(context));
    }

private:
    // Without the host's console the step is noted as nothing: the tests then
    // miss it and say so.
    void Note(const std::string& step) {
        if (cvarManager) {
            cvarManager->executeCommand(step);
        }
    }
};

std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin> instance;

} // namespace

extern "C" {

TEST_MODULE_EXPORT std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>* getPlugin() {
#if defined(PROBE_NULL_ADDRESS)
    return nullptr;
#elif defined(PROBE_EMPTY_REFERENCE)
    return &instance;
#else
    if (!instance) {
        instance = std::make_shared<ProbePlugin>();
    }
    return &instance;
#endif
}

TEST_MODULE_EXPORT void deleteMe() {
    if (instance && instance->cvarManager) {
        // Whether this release destroys the plugin, or an owner outside the
        // module still holds it.
        instance->cvarManager->executeCommand(instance.use_count() == 1 ? "release, the last owner"
                                                                        : "release");
    }
    instance.reset();
}

TEST_MODULE_EXPORT extern const PluginDescriptor exports;
constinit const PluginDescriptor exports =
    TestModuleDescriptor(__FILE__, "Probe", "notes the host's steps", &getPlugin, &deleteMe);

} // extern "C"
