#include "validate/checks/AllChecks.h"

#include "validate/checks/ModuleChecks.h"
#include "validate/checks/SelfTestChecks.h"

namespace validate {

namespace {

constexpr Check kChecks[] = {
    {"descriptor", "the exported descriptor's fields at their offsets", CheckDescriptor},
    {"lifecycle", "factory and release: one instance, host copies, unload with it set",
     CheckLifecycle},
    {"registrations", "onLoad registers one variable, five hooks and one drawable",
     CheckRegistrations},
    {"hooks", "firing the hooked functions many times changes nothing", CheckHooks},
    {"example-frame", "a plain frame draws the eight lines whole; absent objects draw none",
     CheckExampleFrame},
    {"hostile-frames", "100,000 random hostile frames: nothing unclipped or non-finite drawn",
     CheckHostileFrames, 300},
    {"settings-panel", "the panel's checkbox toggles qm_enabled and saves", CheckSettingsPanel},
    {"load-cycles", "repeated load and unload leave no handle, mapping or heap behind",
     CheckLoadCycles, 60, 3},
};

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

} // namespace validate
