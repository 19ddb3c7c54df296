// What Quellmark's onLoad leaves with the host: one console variable with its
// exact arguments, bound to the plugin's flag; five hooks and one drawable, in
// order; and handlers for the hooks that do nothing at all.

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "sim/GameFunctions.h"
#include "validate/checks/ModuleChecks.h"
#include "validate/checks/ModuleUnderTest.h"
#include "validate/judge/ValueText.h"

namespace validate {

namespace {

// The game's functions, in the order the plugin must hook them.
const std::vector<std::string> kHookNames = {
    sim::kFreeplayInit,      sim::kSoccarDestroyed,    sim::kTrainingStartPlayTest,
    sim::kTrainingDestroyed, sim::kCarSetVehicleInput,
};

std::vector<std::string> ExpectedCalls() {
    std::vector<std::string> calls = {
        R"(registerCvar "qm_enabled" "0" "Plugin Enabled" true false 0 false 0 true)",
        "bindTo",
    };
    for (std::size_t i = 0; i < kHookNames.size(); ++i) {
        if (i == 4) {
            calls.push_back("RegisterDrawable");
        }
        calls.push_back("HookEvent \"" + kHookNames[i] + "\"");
    }
    return calls;
}

std::string Listing(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += (text.empty() ? "" : " | ") + line;
    }
    return "[" + text + "]";
}

// A logged frame: the calls it made and what it drew.
struct LoggedFrame {
    std::vector<std::string> calls;
    std::vector<sim::DrawnLine> lines;
};

LoggedFrame RunLogged(sim::Host& host) {
    host.log.Clear();
    host.log.calls = true;
    host.RunFrame();
    host.log.calls = false;
    return {host.log.lines, host.lines};
}

bool SameLines(const std::vector<sim::DrawnLine>& a, const std::vector<sim::DrawnLine>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.start == y.start && x.end == y.end && x.width == y.width &&
               x.widthGiven == y.widthGiven && x.color == y.color;
    });
}

// Firing each hooked function, a thousand times, makes no SDK call and makes
// no handle, and leaves the console and the next frame as they were.
void CheckHandlersDoNothing(sim::Host& host) {
    constexpr int kFirings = 1000;
    host.console.Execute("qm_enabled 1");
    StagePlainFrame(host);
    const LoggedFrame before = RunLogged(host);
    Require(!before.lines.empty(), "the plain frame drew nothing");
    std::map<std::string, std::string> values;
    for (const auto& [name, variable] : host.console.Variables()) {
        values[name] = variable.value;
    }
    host.log.Clear();
    host.log.calls = true;
    host.log.handles = true;
    for (int round = 0; round < kFirings && host.log.lines.empty(); ++round) {
        for (const std::string& name : kHookNames) {
            host.FireHook(name);
        }
    }
    host.log.calls = false;
    host.log.handles = false;
    Require(host.log.lines.empty(), "a hook handler called the SDK: " +
                                        (host.log.lines.empty() ? "" : host.log.lines.front()));
    for (const auto& [name, variable] : host.console.Variables()) {
        Require(values[name] == variable.value, "the hooks changed " + name);
    }
    const LoggedFrame after = RunLogged(host);
    Require(after.calls == before.calls,
            "after the hooks the frame makes other SDK calls than before");
    Require(SameLines(after.lines, before.lines),
            "after the hooks the frame draws other lines than before");
}

} // namespace

void CheckRegistrations(const CheckContext& context) {
    sim::Host host;
    auto hosted = OpenModule(context.modulePath, host);
    auto& plugin = CreatePlugin(*hosted);
    std::shared_ptr<CVarManagerWrapper> console = plugin.cvarManager;

    host.log.calls = true;
    plugin.onLoad();
    host.log.calls = false;

    const auto expected = ExpectedCalls();
    Require(host.log.lines == expected,
            "onLoad made the calls " + Listing(host.log.lines) + ", expected " + Listing(expected));

    Require(host.console.Variables().size() == 1, "onLoad registered " +
                                                      Num(long(host.console.Variables().size())) +
                                                      " console variables, expected 1");
    const sim::Variable* variable = host.console.Find("qm_enabled");
    Require(variable != nullptr, "qm_enabled is not registered");
    Require(variable->defaultValue == "0" && variable->description == "Plugin Enabled" &&
                variable->searchable && !variable->hasMin && variable->min == 0.0f &&
                !variable->hasMax && variable->max == 0.0f && variable->saveToConfig,
            "qm_enabled was registered with other arguments");
    Require(variable->bindings.size() == 1,
            "qm_enabled has " + Num(long(variable->bindings.size())) + " bound flags, expected 1");
    Require(host.HookedFunctions() == kHookNames,
            "the hooked functions are " + Listing(host.HookedFunctions()));
    Require(host.DrawableCount() == 1,
            Num(long(host.DrawableCount())) + " drawables registered, expected 1");
    Require(console.use_count() == 3,
            "after onLoad the console has " + Num(console.use_count()) +
                " owners; expected the host's, the plugin's and the module's second one");

    // The flag follows the variable both ways.
    const std::shared_ptr<bool>& flag = variable->bindings.front();
    Require(!*flag, "the flag reads true while qm_enabled is \"0\"");
    host.console.Execute("qm_enabled 1");
    Require(*flag, "the flag did not follow qm_enabled to 1");
    host.console.Execute("qm_enabled 0");
    Require(!*flag, "the flag did not follow qm_enabled back to 0");

    CheckHandlersDoNothing(host);
    console.reset();
    hosted->Unload();
    Require(host.LiveHandles() == 0, Num(host.LiveHandles()) + " host handles outlived the module");
}

} // namespace validate
