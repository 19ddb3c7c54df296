// The hooked game functions fired many times, for any plugin: each firing
// runs the handlers hooked to that function and no other, and they leave
// nothing behind - no host handle, no saved config, no registration added or
// dropped - nor stop the next frame from returning every handle it made.
// (That Quellmark's handlers do nothing at all is its registrations' check.)

#include <map>
#include <string>
#include <vector>

#include "validate/checks/ModuleChecks.h"
#include "validate/checks/ModuleUnderTest.h"
#include "validate/judge/ValueText.h"

namespace validate {

namespace {

constexpr int kFiringsPerHook = 20000;

struct Snapshot {
    int writeConfigCount = 0;
    long liveHandles = 0;
    std::vector<std::string> hooked;
    std::size_t drawables = 0;
    std::size_t bindings = 0;
};

// The host's state around a frame, which must return every handle it made.
Snapshot Take(sim::Host& host, const std::string& when) {
    Snapshot s;
    s.liveHandles = host.LiveHandles();
    host.RunFrame();
    Require(host.LiveHandles() == s.liveHandles, "the frame " + when + " left " +
                                                     Num(host.LiveHandles() - s.liveHandles) +
                                                     " handles alive");
    for (const auto& [name, variable] : host.console.Variables()) {
        s.bindings += variable.bindings.size();
    }
    s.writeConfigCount = host.writeConfigCount;
    s.hooked = host.HookedFunctions();
    s.drawables = host.DrawableCount();
    return s;
}

// Each hooked name and how many handlers were hooked to it.
std::map<std::string, int> HandlersByName(const std::vector<std::string>& hooked) {
    std::map<std::string, int> handlers;
    for (const std::string& name : hooked) {
        ++handlers[name];
    }
    return handlers;
}

} // namespace

void CheckHooks(const CheckContext& context) {
    sim::Host host;
    auto hosted = LoadSwitchedOn(context.modulePath, host);
    StagePlainFrame(host);

    const Snapshot before = Take(host, "before the hooks");
    const std::map<std::string, int> handlers = HandlersByName(before.hooked);
    for (int round = 0; round < kFiringsPerHook; ++round) {
        for (const auto& [name, count] : handlers) {
            const long live = host.LiveHandles();
            const int ran = host.FireHook(name);
            Require(ran == count, "firing \"" + name + "\" ran " + Num(ran) +
                                      " handlers, expected the " + Num(count) + " hooked to it");
            Require(host.LiveHandles() == live, "firing \"" + name + "\" left " +
                                                    Num(host.LiveHandles() - live) +
                                                    " handles alive");
        }
    }
    const std::string unhooked = "Function TAGame.Ball_TA.Explode";
    if (handlers.count(unhooked) == 0) {
        Require(host.FireHook(unhooked) == 0, "a function the plugin never hooked ran a handler");
    }

    const Snapshot after = Take(host, "after the hooks");
    Require(after.writeConfigCount == before.writeConfigCount, "the hooks saved the config");
    Require(after.hooked == before.hooked && after.drawables == before.drawables &&
                after.bindings == before.bindings,
            "the hooks changed the plugin's registrations");
    hosted->Unload();
    Require(host.LiveHandles() == 0, Num(host.LiveHandles()) + " host handles outlived the module");
}

} // namespace validate
