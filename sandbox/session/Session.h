#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "picture/SettingsWindow.h"
#include "picture/UiContext.h"
#include "scenario/Scenario.h"
#include "session/Config.h"
#include "session/HandleAudit.h"
#include "session/ReloadablePlugin.h"
#include "session/SessionOptions.h"
#include "session/TraceWriter.h"
#include "sim/Host.h"

namespace sandbox {

// One run of the host with the plugin in it, set up in the order a host does
// it: the UI context, the game, the saved config and the values given on the
// command line held for the plugin's variables, the module loaded and started.
// Members are destroyed in reverse: the plugin goes before the host it
// registered with, the UI context last.
//
// The host's console command `plugin` replaces the module while the session
// runs: `plugin unload`, `plugin load PATH`, `plugin reload` (the module's
// path again). Each is carried out between frames, at the start of the next
// RunGameFrame, so no plugin code is running when its module goes; the game,
// the console's variables and whatever the caller keeps stay as they are.
class Session {
public:
    // Reads the config and loads the module into the scenario's game. The
    // run's own console commands are added by `addCommands` before any
    // --exec line is checked. Throws InputError before anything is written
    // for a refused module, a --set or scenario variable the plugin did not
    // register or a value its switch would misread, and an --exec line the
    // console could not carry out (Console::Problem); no --exec line runs
    // then. Which config was read, and its problems, are said on `messages`.
    // `trace` receives the load-time calls.
    Session(Scenario scenario, const SessionOptions& options, TraceWriter& trace,
            std::FILE* messages, const std::function<void(Session&)>& addCommands = {});
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const Scenario& GetScenario() const { return scenario_; }
    sim::Host& Host() { return host_; }
    const sim::Host& Host() const { return host_; }
    const ConfigStore& Config() const { return config_; }

    // "loaded CLASS "TITLE" version V from PATH".
    std::string Description() const;
    // Where the running module, or the last one, was loaded from, as given.
    const std::string& ModulePath() const { return plugin_.Path(); }

    // Runs one game frame: the module requests made since the last frame,
    // the game's per-frame events, then the plugin's drawables on a fresh
    // canvas. The game state is set by the caller (HostFrame). The first
    // frame's variables and lines are noted on `messages`. Throws InputError
    // when a module a script or an --exec line asked for is refused: the run
    // would go on with a module nobody asked for.
    void RunGameFrame();

    // As the console's `plugin reload`, saying why in the console first.
    void RequestReload(const std::string& reason);
    // What became of the last module request, for a status line; empty
    // before the first.
    const std::string& ModuleStatus() const { return moduleStatus_; }

    // Console lines run while one of these lives come from a script, not a
    // person at the console: a module they ask for that is refused ends the
    // run (RunGameFrame).
    class ScriptedLines {
    public:
        explicit ScriptedLines(Session& session) : session_(session) { ++session_.scripted_; }
        ~ScriptedLines() { --session_.scripted_; }
        ScriptedLines(const ScriptedLines&) = delete;
        ScriptedLines& operator=(const ScriptedLines&) = delete;

    private:
        Session& session_;
    };

    // Inside a Dear ImGui frame: the game picture on the background layer and
    // the settings window with the plugin's panel on top.
    PanelWidget DrawUi(const std::string& caption);

    // Prints what the console said since the last call, each line made safe
    // for a terminal (files::Printable).
    void FlushConsole(std::FILE* out);
    // Whether FlushConsole has something to print.
    bool ConsolePending() const { return consolePrinted_ < host_.console.output.size(); }

    // Ends the game session and unloads the plugin, tracing its unload-time
    // calls. The destructor does this when it has not been done.
    void Close(TraceWriter& trace);

    // A write the run was asked for that did not happen (a writeconfig that
    // could not save, a screenshot, a savescenario). Said on `messages` now
    // unless `said`; a run with any ends with status 1.
    void NoteFailedWrite(const std::string& what, bool said = false);
    const std::vector<std::string>& FailedWrites() const { return failedWrites_; }

    // After Close: prints "handle leak: ..." for each kind of handle the
    // plugin kept past a frame or past its unload; returns how many lines.
    std::size_t ReportKeptHandles(std::FILE* out) const;

private:
    // Holds the values the config, the scenario and --set give the plugin's
    // variables, each later one winning; config problems are warnings on
    // `messages`.
    void PresetVariables(const SessionOptions& options, std::FILE* messages);
    // After the plugin has registered its variables: the names and values
    // --set and a scenario file gave.
    void CheckGivenVariables(const SessionOptions& options) const;
    void WarnOfMisreadSavedSwitches();
    void RunExecLines(const std::vector<std::string>& lines);
    void AddHostCommands(bool noConfig);

    struct ModuleRequest {
        enum class Kind { Unload, Load, Reload } kind;
        std::string path; // Load only
        bool scripted = false;
    };

    // The console command `plugin ARGUMENTS`: queues a request.
    void PluginCommand(const std::vector<std::string>& arguments);
    void CarryOutModuleRequests();

    Scenario scenario_;
    UiContext ui_;
    sim::Host host_;
    ConfigStore config_;
    ReloadablePlugin plugin_;
    std::vector<ModuleRequest> moduleRequests_;
    std::string moduleStatus_;
    std::size_t consolePrinted_ = 0;
    bool closed_ = false;
    int scripted_ = 0;
    std::vector<std::string> failedWrites_;
    std::FILE* messages_;
    HandleAudit handles_;
    int framesRun_ = 0;
};

// The run's exit status once it has ended: 1 when any write failed or the
// plugin kept handles, each said on `out`; else 0.
int EndedRunStatus(const Session& session, std::FILE* out);

// The scenario the options name, or the embedded default, with `frames`
// (render's --frames) in place of its own count when given.
Scenario ChooseScenario(const SessionOptions& options, std::optional<int> frames = std::nullopt);

} // namespace sandbox
