#include "validate/checks/AllChecks.h"

#include "validate/checks/ModuleChecks.h"
#include "validate/checks/SelfTestChecks.h"

namespace validate {

namespace {

constexpr CheckGroup kAny = CheckGroup::EveryPlugin;
constexpr CheckGroup kQuellmark = CheckGroup::Quellmark;

constexpr Check kChecks[] = {
    {"descriptor", "the exported record: layout, interface version, sane texts, entry points",
     CheckDescriptor, kAny},
    {"lifecycle", "factory and release: one instance, host copies, unload with it set",
     CheckLifecycle, kAny},
    {"hooks", "firing the hooked functions many times leaves nothing behind", CheckHooks, kAny},
    {"hostile-frames",
     "100,000 random hostile frames: nothing non-finite drawn, nothing projected out of view",
     CheckHostileFrames, kAny, 300},
    {"load-cycles", "repeated load and unload leave no handle, mapping or heap behind",
     CheckLoadCycles, kAny, 60, 3},
    {"registrations", "onLoad registers qm_enabled bound, five hooks that do nothing, a drawable",
     CheckRegistrations, kQuellmark},
    {"example-frame", "a plain frame draws the eight lines whole; absent objects draw none",
     CheckExampleFrame, kQuellmark},
    {"overlay-frames", "the hostile frames draw the overlay's lines, clipped, and no others",
     CheckOverlayFrames, kQuellmark, 300},
    {"settings-panel", "the panel \"Quellmark\"'s checkbox toggles qm_enabled and saves",
     CheckSettingsPanel, kQuellmark},
};

constexpr Check kClassNameProbe = {"class-name", "the module's class name", AnswerClassName, kAny,
                                   60};

} // namespace

std::vector<Check> AllChecks() {
    std::vector<Check> checks(std::begin(kChecks), std::end(kChecks));
    if (SelfTestsEnabled()) {
        for (const Check& check : SelfTestChecks()) {
            checks.push_back(check);
        }
    }
    return checks;
}

const Check* FindCheck(const std::vector<Check>& checks, std::string_view name) {
    for (const Check& check : checks) {
        if (check.name == name) {
            return &check;
        }
    }
    return nullptr;
}

const Check& ClassNameProbe() {
    return kClassNameProbe;
}

} // namespace validate
