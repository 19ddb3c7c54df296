#include "session/Session.h"

#include <filesystem>

#include <imgui.h>

#include "base/ExitStatus.h"
#include "base/InputError.h"
#include "base/ProgramPath.h"
#include "base/Say.h"
#include "files/QuotedText.h"
#include "picture/CanvasLayer.h"
#include "scenario/DefaultScenario.h"
#include "scenario/ScenarioParser.h"
#include "session/ConfigLocation.h"
#include "session/ConsoleHelp.h"
#include "session/GameEvents.h"
#include "session/RunNotes.h"

namespace sandbox {

namespace {

std::filesystem::path ConfigPathFor(const SessionOptions& options) {
    if (options.noConfig) {
        return {};
    }
    if (options.configPath) {
        return PathFromText(*options.configPath);
    }
    // Empty when no variable names a place: the run then has no config.
    return DefaultConfigPathHere();
}

// Where a variable's value came from, as the first frame's note says it.
constexpr const char* kFromConfig = "the saved config";
constexpr const char* kFromSet = "--set";
constexpr const char* kFromScenario = "the scenario";
constexpr const char* kFromDefaultScenario = "the embedded scenario";

std::string PluginUsage(const std::vector<std::string>& arguments) {
    const std::string verb = arguments.empty() ? "" : arguments.front();
    if ((verb == "unload" || verb == "reload") && arguments.size() == 1) {
        return {};
    }
    if (verb == "load" && arguments.size() == 2) {
        return {};
    }
    return "usage: plugin unload | plugin load PATH | plugin reload";
}

} // namespace

Scenario ChooseScenario(const SessionOptions& options, std::optional<int> frames) {
    Scenario scenario = options.scenarioPath
                            ? LoadScenarioFile(*options.scenarioPath)
                            : ParseScenario(DefaultScenarioText(), kDefaultScenarioName);
    scenario.cvarsYieldToConfig = !options.scenarioPath;
    if (frames) {
        scenario.frames = *frames;
    }
    return scenario;
}

Session::Session(Scenario scenario, const SessionOptions& options, TraceWriter& trace,
                 std::FILE* messages, const std::function<void(Session&)>& addCommands)
    : scenario_(std::move(scenario)), config_(ConfigPathFor(options)), plugin_(host_, ui_.Handle()),
      messages_(messages) {
    PresetVariables(options, messages);
    AddHostCommands(options.noConfig);
    if (addCommands) {
        addCommands(*this);
    }

    // The game the plugin loads into: the scenario's mode, server and canvas.
    // Its ball and camera come with each frame.
    host_.mode = scenario_.mode;
    host_.serverPresent = scenario_.serverPresent;
    host_.canvasSize = scenario_.canvas;
    host_.log.calls = options.trace;
    host_.log.handles = options.logHandles;
    const ReloadablePlugin::Outcome loaded =
        plugin_.Load(options.modulePath.value_or(ModuleBesideProgram()));
    if (!loaded.loaded) {
        throw InputError(loaded.said);
    }
    WarnOfMisreadSavedSwitches();
    CheckGivenVariables(options);
    RunExecLines(options.execs);
    FireSessionStart(host_);
    trace.Section("load", host_.log);
}

void Session::AddHostCommands(bool noConfig) {
    AddConsoleHelp(host_.console);
    host_.onWriteConfig = [this, noConfig] {
        if (noConfig) {
            host_.console.output.push_back("writeconfig: nothing saved (--no-config)");
            return;
        }
        std::string error;
        if (config_.Save(host_.console, error)) {
            host_.console.output.push_back("config saved to " + config_.Path().string());
        } else {
            host_.console.output.push_back("error: " + error);
            NoteFailedWrite("writeconfig: " + error, true);
        }
    };
    host_.console.AddCommand(
        "plugin", [this](const std::vector<std::string>& arguments) { PluginCommand(arguments); },
        PluginUsage);
}

void Session::PresetVariables(const SessionOptions& options, std::FILE* messages) {
    auto presetScenarioVariables = [this] {
        const char* origin = scenario_.cvarsYieldToConfig ? kFromDefaultScenario : kFromScenario;
        for (const auto& [name, value] : scenario_.cvars) {
            host_.console.Preset(name, value, origin);
        }
    };
    // Held in the order that lets later values win: the embedded default's
    // variables (a starting point only), the config file, a scenario file's
    // variables, then --set.
    if (scenario_.cvarsYieldToConfig) {
        presetScenarioVariables();
    }
    std::string warning;
    ConfigOutcome outcome{config_.Path(), options.noConfig};
    for (const auto& [name, value] : config_.Load(warning)) {
        host_.console.Preset(name, value, kFromConfig);
        ++outcome.variables;
    }
    if (!warning.empty()) {
        Say(messages, "warning: " + warning);
    }
    outcome.existed = config_.Existed();
    outcome.unreadable = config_.Damaged();
    Say(messages, ConfigNote(outcome));
    if (!scenario_.cvarsYieldToConfig) {
        presetScenarioVariables();
    }
    for (const auto& [name, value] : options.sets) {
        host_.console.Preset(name, value, kFromSet);
    }
}

// A saved value a switch would misread is the file's, not this run's request:
// warned about, and the switch keeps its default.
void Session::WarnOfMisreadSavedSwitches() {
    for (auto& [name, variable] : host_.console.Variables()) {
        if (variable.origin != kFromConfig || !variable.IsSwitch()) {
            continue;
        }
        if (const std::string problem = sim::SwitchValueProblem(variable.value); !problem.empty()) {
            Say(messages_, "warning: " + PathText(config_.Path()) + ": " + name + ": " + problem +
                               "; it keeps its default " + files::Quoted(variable.defaultValue));
            host_.console.Set(*host_.console.Find(name), variable.defaultValue, "default");
        }
    }
}

void Session::CheckGivenVariables(const SessionOptions& options) const {
    auto check = [this](const std::string& given, const std::string& name,
                        const std::string& value) {
        const sim::Variable* variable = host_.console.Variables().count(name) != 0
                                            ? &host_.console.Variables().at(name)
                                            : nullptr;
        if (variable == nullptr) {
            throw InputError(given + ": the plugin registered no such variable; " +
                             host_.console.UnknownName(name));
        }
        if (variable->IsSwitch()) {
            if (const std::string problem = sim::SwitchValueProblem(value); !problem.empty()) {
                throw InputError(given + ": " + problem);
            }
        }
    };
    // The embedded default's variables are a starting point for any plugin,
    // not a request of the user's.
    if (!scenario_.cvarsYieldToConfig) {
        for (const auto& [name, value] : scenario_.cvars) {
            check(scenario_.source + ": cvars." + name, name, value);
        }
    }
    for (const auto& [name, value] : options.sets) {
        check("--set " + files::Printable(name) + "=" + files::Printable(value), name, value);
    }
}

// Every line is checked before any runs: a typo in the first must not let a
// writeconfig after it save the wrong value.
void Session::RunExecLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (const std::string problem = host_.console.Problem(line); !problem.empty()) {
            throw InputError("--exec " + files::Quoted(line) + ": " + problem +
                             "; no --exec line was run");
        }
    }
    ScriptedLines scripted(*this);
    for (const std::string& line : lines) {
        host_.console.Type(line);
    }
}

Session::~Session() {
    TraceWriter silent(nullptr, false);
    Close(silent);
}

void Session::Close(TraceWriter& trace) {
    if (closed_) {
        return;
    }
    closed_ = true;
    FireSessionEnd(host_);
    plugin_.Unload();
    handles_.PluginUnloaded(host_);
    trace.Section("unload", host_.log);
    host_.log.calls = false;
    host_.log.handles = false;
}

void Session::NoteFailedWrite(const std::string& what, bool said) {
    if (!said) {
        Say(messages_, "error: " + what);
    }
    failedWrites_.push_back(what);
}

std::size_t Session::ReportKeptHandles(std::FILE* out) const {
    const std::vector<std::string> findings = handles_.Findings();
    for (const std::string& finding : findings) {
        Say(out, "handle leak: " + finding);
    }
    return findings.size();
}

std::string Session::Description() const {
    return "loaded " + plugin_.Description();
}

void Session::RunGameFrame() {
    CarryOutModuleRequests();
    handles_.FrameBegins(host_);
    FireFrameEvents(host_);
    host_.RunFrame();
    handles_.FrameEnded(host_, ++framesRun_);
    if (framesRun_ == 1) {
        Say(messages_, FirstFrameNote(host_));
    }
}

void Session::RequestReload(const std::string& reason) {
    host_.console.output.push_back(reason + ": reloading " + plugin_.Path());
    moduleRequests_.push_back({ModuleRequest::Kind::Reload, {}, scripted_ > 0});
}

void Session::PluginCommand(const std::vector<std::string>& arguments) {
    const bool scripted = scripted_ > 0;
    if (arguments.front() == "unload") {
        moduleRequests_.push_back({ModuleRequest::Kind::Unload, {}, scripted});
    } else if (arguments.front() == "reload") {
        moduleRequests_.push_back({ModuleRequest::Kind::Reload, {}, scripted});
    } else {
        moduleRequests_.push_back({ModuleRequest::Kind::Load, arguments[1], scripted});
    }
}

void Session::CarryOutModuleRequests() {
    std::vector<ModuleRequest> requests;
    requests.swap(moduleRequests_);
    for (const ModuleRequest& request : requests) {
        ReloadablePlugin::Outcome outcome;
        if (request.kind == ModuleRequest::Kind::Unload) {
            const std::string unloaded = plugin_.Description();
            outcome = {true, plugin_.Unload() ? "unloaded " + unloaded : "no module to unload"};
        } else {
            outcome = plugin_.Load(request.kind == ModuleRequest::Kind::Load ? request.path
                                                                             : plugin_.Path());
            outcome.said = outcome.loaded ? "loaded " + outcome.said : "refused: " + outcome.said;
        }
        moduleStatus_ = outcome.said;
        host_.console.output.push_back(moduleStatus_);
        if (!outcome.loaded && request.scripted) {
            throw InputError("plugin: " + outcome.said);
        }
    }
}

PanelWidget Session::DrawUi(const std::string& caption) {
    DrawCanvasLayer(host_, *ImGui::GetBackgroundDrawList(), caption);
    const sim::HostedPlugin* running = plugin_.Running();
    if (running == nullptr || running->Panel() == nullptr) {
        return {};
    }
    return DrawSettingsWindow(*running->Panel(), plugin_.PanelName());
}

void Session::FlushConsole(std::FILE* out) {
    const auto& output = host_.console.output;
    for (; consolePrinted_ < output.size(); ++consolePrinted_) {
        Say(out, output[consolePrinted_]);
    }
}

int EndedRunStatus(const Session& session, std::FILE* out) {
    const std::size_t failed = session.FailedWrites().size();
    if (failed > 0) {
        // Each was said as it happened.
        std::fprintf(out, "%zu write%s failed (%s); exit status 1\n", failed,
                     failed == 1 ? "" : "s",
                     files::Printable(session.FailedWrites().front()).c_str());
    }
    const bool handlesKept = session.ReportKeptHandles(out) != 0;
    return failed > 0 || handlesKept ? kExitFailure : kExitOk;
}

} // namespace sandbox
