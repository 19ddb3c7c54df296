#include "window/WindowCommand.h"

#include <cstdio>
#include <exception>
#include <vector>

#include "base/InputError.h"
#include "base/Interruption.h"
#include "base/ProgramPath.h"
#include "base/Say.h"
#include "files/OutputFile.h"
#include "files/QuotedText.h"
#include "scenario/PoseScenario.h"
#include "session/Session.h"
#include "window/Script.h"
#include "window/ScriptPlayer.h"
#include "window/SdlWindow.h"
#include "window/WindowRun.h"

namespace sandbox {

namespace {

// The console's `savescenario PATH`: the pose on screen (the last frame drawn)
// written as a scenario file that replays it.
void AddSaveScenarioCommand(Session& session) {
    sim::Host& host = session.Host();
    host.console.AddCommand(
        "savescenario",
        [&session, &host](const std::vector<std::string>& arguments) {
            try {
                files::WriteFile(PathFromText(arguments[0]), PoseScenarioText(host),
                                 {"scenario", false});
                host.console.output.push_back("scenario saved to " + arguments[0]);
            } catch (const std::exception& error) {
                host.console.output.push_back("error: savescenario: " + std::string(error.what()));
                session.NoteFailedWrite("savescenario: " + std::string(error.what()));
            }
        },
        [](const std::vector<std::string>& arguments) {
            return arguments.size() == 1 ? std::string() : "usage: savescenario PATH";
        });
}

// A script is checked whole once the plugin has registered its variables: a
// console line the console could not carry out is bad input, refused before
// any line runs (a later writeconfig would save what the typo left).
void CheckScriptConsoleLines(const std::vector<ScriptAction>& script, const sim::Console& console) {
    for (const ScriptAction& action : script) {
        if (action.kind != ScriptAction::Kind::Console) {
            continue;
        }
        if (const std::string problem = console.Problem(action.text); !problem.empty()) {
            throw InputError("--script: frame " + std::to_string(action.frame) + ": console " +
                             files::Quoted(action.text) + ": " + problem);
        }
    }
}

} // namespace

int RunWindow(const WindowOptions& options, const Interruption& interruption) {
    std::FILE* info = options.session.LogOnStdout() ? stderr : stdout;
    TraceWriter trace(stdout, options.session.LogOnStdout());
    // The scenario's frame count is for render; here --frames alone ends the run.
    std::vector<ScriptAction> script = ParseScript(options.script.value_or(""));
    if (options.frames) {
        RefuseItemsAfter(script, *options.frames);
    }

    // No display, no point loading anything.
    SdlVideo video;
    Scenario scenario = ChooseScenario(options.session);
    const Vector2 initialSize = scenario.canvas;
    Session session(std::move(scenario), options.session, trace, stderr,
                    [](Session& session) { AddSaveScenarioCommand(session); });
    CheckScriptConsoleLines(script, session.Host().console);
    Say(info, session.Description());
    session.FlushConsole(stderr);

    Window window(initialSize);
    ImGuiPlatform platform(window.Get());
    ScriptPlayer player(std::move(script), info);
    const int frames = WindowRun(session, window, trace, player, interruption).Run(options.frames);
    session.Close(trace);
    Say(info, "window closed after " + std::to_string(frames) + " frames");
    return EndedRunStatus(session, stderr);
}

} // namespace sandbox
