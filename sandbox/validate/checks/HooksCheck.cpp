// The five hooked game functions fired many times: each runs exactly one
// handler, and the handlers touch nothing - no SDK call, no handle, no change
// to the console or to what the next frame draws.

#include <map>
#include <string>
#include <vector>

#include "validate/audit/ValueText.h"
#include "validate/checks/ModuleChecks.h"
#include "validate/checks/ModuleUnderTest.h"

namespace validate {

namespace {

constexpr int kFiringsPerHook = 20000;

struct Snapshot {
    std::vector<std::string> frameCalls;
    std::vector<sim::DrawnLine> lines;
    std::map<std::string, std::string> values;
    std::size_t bindings = 0;
    int writeConfigCount = 0;
    long liveHandles = 0;
    std::vector<std::string> hooked;
    std::size_t drawables = 0;
};

Snapshot Take(sim::Host& host) {
    Snapshot s;
    s.liveHandles = host.LiveHandles();
    host.log.Clear();
    host.log.calls = true;
    host.RunFrame();
    host.log.calls = false;
    s.frameCalls = host.log.lines;
    s.lines = host.lines;
    for (const auto& [name, variable] : host.console.Variables()) {
        s.values[name] = variable.value;
        s.bindings += variable.bindings.size();
    }
    s.writeConfigCount = host.writeConfigCount;
    s.hooked = host.HookedFunctions();
    s.drawables = host.DrawableCount();
    return s;
}

bool SameLines(const std::vector<sim::DrawnLine>& a, const std::vector<sim::DrawnLine>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!(a[i].start == b[i].start && a[i].end == b[i].end && a[i].width == b[i].width &&
              a[i].widthGiven == b[i].widthGiven && a[i].color == b[i].color)) {
            return false;
        }
    }
    return true;
}

} // namespace

void CheckHooks(const CheckContext& context) {
    sim::Host host;
    auto hosted = LoadSwitchedOn(context.modulePath, host);
    host.mode = sim::GameMode::Freeplay;
    host.ball = sim::Actor{{300.0f, -200.0f, 93.0f}, {}, 0.0f};
    host.camera = sim::Actor{{-1500.0f, -7000.0f, 1200.0f}, {-2500, 15000, 300}, 100.0f};

    const Snapshot before = Take(host);
    Require(!before.lines.empty(), "the reference frame drew nothing");
    const std::vector<std::string> hooked = host.HookedFunctions();
    Require(hooked.size() == 5,
            "the plugin hooked " + Num(long(hooked.size())) + " game functions, expected 5");

    host.log.Clear();
    host.log.calls = true;
    host.log.handles = true;
    for (int round = 0; round < kFiringsPerHook; ++round) {
        for (const std::string& name : hooked) {
            const int ran = host.FireHook(name);
            if (ran != 1) {
                host.log.calls = host.log.handles = false;
                Fail("firing \"" + name + "\" ran " + Num(ran) + " handlers, expected 1");
            }
        }
        if (!host.log.lines.empty()) {
            const std::string first = host.log.lines.front();
            host.log.calls = host.log.handles = false;
            Fail("a hook handler called the SDK: " + first);
        }
    }
    host.log.calls = false;
    host.log.handles = false;
    Require(host.FireHook("Function TAGame.Ball_TA.Explode") == 0,
            "a function the plugin never hooked ran a handler");

    const Snapshot after = Take(host);
    Require(after.liveHandles == before.liveHandles,
            "the hooks changed the live host handles by " +
                Num(after.liveHandles - before.liveHandles));
    Require(after.values == before.values, "the hooks changed a console variable");
    Require(after.bindings == before.bindings, "the hooks changed the variable bindings");
    Require(after.writeConfigCount == before.writeConfigCount, "the hooks saved the config");
    Require(after.hooked == before.hooked && after.drawables == before.drawables,
            "the hooks changed the plugin's registrations");
    Require(after.frameCalls == before.frameCalls,
            "after the hooks the frame makes other SDK calls than before");
    Require(SameLines(after.lines, before.lines),
            "after the hooks the frame draws other lines than before");
}

} // namespace validate
