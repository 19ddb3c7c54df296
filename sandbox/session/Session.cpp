#include "session/Session.h"

#include <filesystem>

#include <imgui.h>

#include "base/ExitStatus.h"
#include "base/InputError.h"
#include "base/ProgramPath.h"
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
                 std::FILE* messages)
    : scenario_(std::move(scenario)), config_(ConfigPathFor(options)), plugin_(host_, ui_.Handle()),
      messages_(messages) {
    PresetVariables(options, messages);
    AddConsoleHelp(host_.console);
    host_.onWriteConfig = [this, disabled = options.noConfig] {
        if (disabled) {
            host_.console.output.push_back("writeconfig: nothing saved (--no-config)");
            return;
        }
        std::string error;
        if (config_.Save(host_.console, error)) {
            host_.console.output.push_back("config saved to " + config_.Path().string());
        } else {
            host_.console.output.push_back("error: " + error);
            failedWrites_.push_back("writeconfig: " + error);
        }
    };

    host_.console.AddCommand(
        "plugin", [this](const std::vector<std::string>& arguments) { PluginCommand(arguments); });

    // The game as it stands at the first frame, before the plugin sees it.
    ApplyFrame(scenario_, 1, host_);
    host_.log.calls = options.trace;
    host_.log.handles = options.logHandles;
    std::string error;
    if (!plugin_.Load(options.modulePath.value_or(ModuleBesideProgram()), error)) {
        throw InputError(error);
    }
    for (const auto& [name, value] : options.sets) {
        if (host_.console.Find(name) == nullptr) {
            std::fprintf(messages, "warning: --set %s: the plugin registered no such variable\n",
                         name.c_str());
        }
    }
    // All lines are checked before any runs: a typo in the first must not
    // let a writeconfig after it save the wrong value.
    for (const std::string& line : options.execs) {
        if (const std::string unknown = host_.console.FirstUnknown(line); !unknown.empty()) {
            throw InputError("--exec \"" + line + "\": unknown command or variable '" + unknown +
                             "'; no --exec line was run");
        }
    }
    for (const std::string& line : options.execs) {
        host_.console.Type(line);
    }
    FireSessionStart(host_);
    trace.Section("load", host_.log);
}

void Session::PresetVariables(const SessionOptions& options, std::FILE* messages) {
    auto presetScenarioVariables = [this] {
        for (const auto& [name, value] : scenario_.cvars) {
            host_.console.Preset(name, value);
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
        host_.console.Preset(name, value);
        ++outcome.variables;
    }
    if (!warning.empty()) {
        std::fprintf(messages, "warning: %s\n", warning.c_str());
    }
    outcome.existed = config_.Existed();
    outcome.unreadable = config_.Damaged();
    std::fprintf(messages, "%s\n", ConfigNote(outcome).c_str());
    if (!scenario_.cvarsYieldToConfig) {
        presetScenarioVariables();
    }
    for (const auto& [name, value] : options.sets) {
        host_.console.Preset(name, value);
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

std::size_t Session::ReportKeptHandles(std::FILE* out) const {
    const std::vector<std::string> findings = handles_.Findings();
    for (const std::string& finding : findings) {
        std::fprintf(out, "handle leak: %s\n", finding.c_str());
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
        std::fprintf(messages_, "%s\n", FirstFrameNote(host_).c_str());
    }
}

void Session::RequestReload(const std::string& reason) {
    host_.console.output.push_back(reason + ": reloading " + plugin_.Path());
    moduleRequests_.push_back({ModuleRequest::Kind::Reload, {}});
}

void Session::PluginCommand(const std::vector<std::string>& arguments) {
    const std::string verb = arguments.empty() ? "" : arguments.front();
    if (verb == "unload" && arguments.size() == 1) {
        moduleRequests_.push_back({ModuleRequest::Kind::Unload, {}});
    } else if (verb == "reload" && arguments.size() == 1) {
        moduleRequests_.push_back({ModuleRequest::Kind::Reload, {}});
    } else if (verb == "load" && arguments.size() == 2) {
        moduleRequests_.push_back({ModuleRequest::Kind::Load, arguments[1]});
    } else {
        host_.console.output.push_back("usage: plugin unload | plugin load PATH | plugin reload");
    }
}

void Session::CarryOutModuleRequests() {
    std::vector<ModuleRequest> requests;
    requests.swap(moduleRequests_);
    for (const ModuleRequest& request : requests) {
        switch (request.kind) {
        case ModuleRequest::Kind::Unload: {
            const std::string unloaded = plugin_.Description();
            moduleStatus_ = plugin_.Unload() ? "unloaded " + unloaded : "no module to unload";
            break;
        }
        case ModuleRequest::Kind::Load:
            moduleStatus_ = plugin_.Replace(request.path);
            break;
        case ModuleRequest::Kind::Reload:
            moduleStatus_ = plugin_.Replace(plugin_.Path());
            break;
        }
        host_.console.output.push_back(moduleStatus_);
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
        std::fprintf(out, "%s\n", output[consolePrinted_].c_str());
    }
}

int EndedRunStatus(const Session& session, std::FILE* out) {
    const std::size_t failed = session.FailedWrites().size();
    if (failed > 0) {
        // Each was said as it happened, among the console's lines.
        std::fprintf(out, "%zu write%s failed (%s); exit status 1\n", failed,
                     failed == 1 ? "" : "s", session.FailedWrites().front().c_str());
    }
    const bool handlesKept = session.ReportKeptHandles(out) != 0;
    return failed > 0 || handlesKept ? kExitFailure : kExitOk;
}

} // namespace sandbox
