// The settings page driven through a real Dear ImGui context owned by this
// check, as the host owns one: a click on the checkbox flips qm_enabled, saves
// the configuration once, and switches the overlay; frames without a click
// only read the variable.

#include <string>
#include <vector>

#include "validate/checks/ModuleChecks.h"
#include "validate/checks/ModuleUnderTest.h"
#include "validate/judge/ValueText.h"
#include "validate/panel/PanelDriver.h"

namespace validate {

namespace {

std::string Listing(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += (text.empty() ? "" : " | ") + line;
    }
    return "[" + text + "]";
}

void RequireCalls(const std::vector<std::string>& calls, const std::vector<std::string>& expected,
                  const std::string& what) {
    Require(calls == expected,
            what + " made the calls " + Listing(calls) + ", expected " + Listing(expected));
}

// A frame of the game in freeplay with every target and the ball in view.
std::size_t LinesDrawn(sim::Host& host) {
    host.RunFrame();
    return host.lines.size();
}

} // namespace

void CheckSettingsPanel(const CheckContext& context) {
    PanelDriver ui;
    sim::Host host;
    StagePlainFrame(host);
    {
        auto hosted = OpenModule(context.modulePath, host);
        LoadPlugin(*hosted, ui.Handle());
        auto& panel = PanelOf(*hosted);
        const std::string name = panel.GetPanelName();
        Require(name == "Quellmark",
                "the panel is called \"" + name + "\", expected \"Quellmark\"");

        const std::string variable = R"(getCvar "qm_enabled")";
        const std::string save = R"(executeCommand "writeconfig" false)";
        RequireCalls(ui.Frame(panel, host), {variable, "getBoolValue"}, "the first panel frame");
        for (int i = 0; i < 3; ++i) {
            RequireCalls(ui.Frame(panel, host), {"getBoolValue"}, "a panel frame without a click");
        }
        Require(LinesDrawn(host) == 0, "the overlay draws while qm_enabled is 0");

        RequireCalls(ui.Click(panel, host), {"getBoolValue", "setValue 1", save},
                     "a click on the unticked checkbox");
        Require(host.console.Find("qm_enabled")->value == "1",
                "after the click qm_enabled is \"" + host.console.Find("qm_enabled")->value +
                    "\", expected \"1\"");
        Require(host.writeConfigCount == 1, "a click saved the configuration " +
                                                Num(host.writeConfigCount) + " times, expected 1");
        Require(LinesDrawn(host) == 8, "with the box ticked the overlay draws " +
                                           Num(long(host.lines.size())) + " lines, expected 8");
        RequireCalls(ui.Frame(panel, host), {"getBoolValue"}, "the frame after a click");

        RequireCalls(ui.Click(panel, host), {"getBoolValue", "setValue 0", save},
                     "a click on the ticked checkbox");
        Require(host.writeConfigCount == 2, "two clicks saved the configuration " +
                                                Num(host.writeConfigCount) + " times, expected 2");
        Require(LinesDrawn(host) == 0, "with the box unticked the overlay still draws");

        // A change made from the console shows on the next frame.
        host.console.Execute("qm_enabled 1");
        RequireCalls(ui.Click(panel, host), {"getBoolValue", "setValue 0", save},
                     "a click after the console set qm_enabled to 1");
        Require(LinesDrawn(host) == 0, "unticked after the console's change, the overlay draws");
    }
    Require(host.LiveHandles() == 0, Num(host.LiveHandles()) + " host handles outlived the module");
}

} // namespace validate
