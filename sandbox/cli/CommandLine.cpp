#include "cli/CommandLine.h"

#include <vector>

#include <CLI/CLI.hpp>

#include "base/ExitStatus.h"
#include "cli/OptionChecks.h"
#include "output/OutputPlan.h"
#include "plugin/PluginVersion.h"
#include "session/ConfigLocation.h"

namespace sandbox {

namespace {

constexpr const char* kProgram = "quellmark-sandbox";
constexpr int kMostRenderFrames = 100000;
constexpr int kMostWindowFrames = 100000000;
constexpr int kMostCycles = 1000000;

// The window's help ends with what does not fit an option's line.
const std::string kWindowFooter =
    "script: 'FRAME ACTION [ARGS]' items separated by ';' or newlines (not inside\n"
    "double quotes); actions are click X Y, click panel, click console, key NAME,\n"
    "hold NAME FRAMES, console LINE, type TEXT and screenshot PATH.\n"
    "keys: W/A/S/D/R/F move the camera (Shift: faster), right mouse drag turns it,\n"
    "wheel changes the field of view; arrows and PageUp/PageDown move the ball;\n"
    "P plays or pauses the scenario's motion; Escape quits.";

// A declared check whose kind the option's help already says ("--frames N:
// render N frames, 1 to 100000"), so the usage line stays short.
CLI::Validator Unlabelled(CLI::Validator check) {
    check.description("");
    return check;
}

// A flag is present or not: `--trace=1` is a mistake, not a spelling.
CLI::Option* AddFlag(CLI::App& command, const std::string& name, bool& value,
                     const std::string& help) {
    return command.add_flag(name, value, help)->disable_flag_override();
}

// --set's NAME=VALUE texts, read into pairs once the line has been checked.
void AddSessionOptions(CLI::App& command, SessionOptions& session, std::vector<std::string>& sets) {
    command
        .add_option("--scenario", session.scenarioPath,
                    "scenario JSON, - for standard input (default: the embedded default "
                    "scenario)")
        ->type_name("FILE")
        ->check(NonEmpty())
        ->check(ExistingFileOrDash());
    AddFlag(command, "--trace", session.trace, "print the plugin's SDK calls on stdout");
    AddFlag(command, "--log-handles", session.logHandles,
            "print each host handle made (+Kind) and destroyed (-Kind) on stdout");
    command.add_option("--set", sets, "set a console variable before the plugin loads; repeatable")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false)
        ->check(NameEqualsValue());
    command
        .add_option("--exec", session.execs,
                    "run a console line after the plugin has loaded; repeatable, in order")
        ->type_name("LINE")
        ->allow_extra_args(false);
    CLI::Option* config =
        command
            .add_option("--config", session.configPath,
                        "config file (default " + std::string(DefaultConfigPlaceHere()) + ")")
            ->type_name("FILE")
            ->check(NonEmpty());
    AddFlag(command, "--no-config", session.noConfig,
            "run without a config: none read, writeconfig saves nothing")
        ->excludes(config);
    command
        .add_option("--module", session.modulePath,
                    "plugin module (default " QUELLMARK_MODULE_FILE_NAME " beside this program)")
        ->type_name("PATH")
        ->check(NonEmpty())
        ->check(ExistingFile());
}

void AddFrames(CLI::App& command, std::optional<int>& frames, int most, const std::string& help) {
    command.add_option("--frames", frames, help + ", 1 to " + std::to_string(most))
        ->type_name("N")
        ->transform(Decimal())
        ->check(Unlabelled(CLI::Range(1, most)));
}

void TakeSets(const std::vector<std::string>& texts, SessionOptions& session) {
    for (const std::string& text : texts) {
        const std::size_t equals = text.find('=');
        session.sets.emplace_back(text.substr(0, equals), text.substr(equals + 1));
    }
}

// The library's refusals, said the project's way where that says more: the
// option or word at fault named, --help pointed to, the subcommand named once
// (by the caller's prefix).
std::string Refusal(const CLI::ParseError& error, const CLI::App& program,
                    const CLI::App* command) {
    const CLI::App& at = command != nullptr ? *command : program;
    for (const CLI::Option* option : at.get_options()) {
        if (option->get_items_expected_max() == 1 && option->count() > 1) {
            return option->get_name() + " given " + std::to_string(option->count()) +
                   " times; it takes one value";
        }
    }
    std::vector<std::string> extra = at.remaining();
    if (extra.empty()) {
        extra = program.remaining();
    }
    if (!extra.empty()) {
        const std::string& word = extra.front();
        if (word.starts_with("-")) {
            return "unknown option '" + word + "' (see --help)";
        }
        return command == nullptr ? "unknown command '" + word + "'"
                                  : "unexpected argument '" + word + "' (see --help)";
    }
    if (command == nullptr) {
        return "a command is needed";
    }
    // CLI11 words these "--NAME: 1 required TYPE missing" and "NAME was given
    // a disallowed flag override".
    const std::string what = error.what();
    if (what.ends_with(" missing")) {
        return what.substr(0, what.find(':')) + " needs a value";
    }
    if (what.ends_with(" was given a disallowed flag override")) {
        return "--" + what.substr(0, what.find(' ')) + " takes no value";
    }
    return what;
}

// Every option of a command lands in the options the caller holds, so the
// command's parts can be declared one command at a time.
struct Declared {
    RenderOptions render;
    WindowOptions window;
    validate::ValidateOptions validate;
    std::vector<std::string> renderSets;
    std::vector<std::string> windowSets;
};

CLI::App& AddRenderCommand(CLI::App& program, Declared& declared) {
    CLI::App& command = *program.add_subcommand(
        "render", "render frames of a scenario headless, to pictures or a video");
    AddSessionOptions(command, declared.render.session, declared.renderSets);
    command
        .add_option("--out", declared.render.out,
                    "where the frames go, by what it names: " + OutputFormatList() +
                        " (default quellmark.png, or the folder quellmark-frames for several "
                        "frames)")
        ->type_name("PATH")
        ->check(NonEmpty());
    AddFrames(command, declared.render.frames, kMostRenderFrames,
              "render N frames instead of the scenario's count");
    return command;
}

CLI::App& AddWindowCommand(CLI::App& program, Declared& declared) {
    CLI::App& command =
        *program.add_subcommand("window", "host the plugin in an interactive window");
    AddSessionOptions(command, declared.window.session, declared.windowSets);
    AddFrames(command, declared.window.frames, kMostWindowFrames,
              "quit after N frames (default: run until closed)");
    command.add_option("--script", declared.window.script, "scripted input, see below")
        ->type_name("TEXT");
    command.footer(kWindowFooter);
    return command;
}

CLI::App& AddValidateCommand(CLI::App& program, validate::ValidateOptions& validate) {
    CLI::App& command = *program.add_subcommand(
        "validate", "check the module: lifecycle, hostile frames, load cycles");
    command
        .add_option("--module", validate.modulePath,
                    "the module (default: " QUELLMARK_MODULE_FILE_NAME " beside this program)")
        ->type_name("PATH")
        ->check(NonEmpty())
        ->check(ExistingFile());
    command
        .add_option("--cycles", validate.cycles,
                    "load/unload cycles of the load-cycles check, 1 to " +
                        std::to_string(kMostCycles) + " (default " +
                        std::to_string(validate.cycles) + ")")
        ->type_name("N")
        ->transform(Decimal())
        ->check(Unlabelled(CLI::Range(1, kMostCycles)));
    char seed[32];
    std::snprintf(seed, sizeof seed, "%#llx", static_cast<unsigned long long>(validate.seed));
    command
        .add_option("--seed", validate.seed,
                    std::string("seed of the random frames, decimal or 0x-hex (default ") + seed +
                        ")")
        ->type_name("S")
        ->transform(Seed());
    command
        .add_option("--only", validate.only,
                    "run only the named checks: NAME,NAME or --only repeated")
        ->type_name("NAME")
        ->delimiter(',')
        ->allow_extra_args(false)
        ->check(NonEmpty());
    command
        .add_option("--failures", validate.failuresDir,
                    "folder the hostile frames that breach are written to, as scenario files "
                    "that render replays (default " +
                        validate.failuresDir + ")")
        ->type_name("DIR")
        ->check(NonEmpty());
    AddFlag(command, "--list", validate.list, "list the checks and exit");
    // Where a check's own process reports back: the validator starting itself
    // for one check on Windows. Not for people, so hidden.
    command.add_option("--child-report", validate.childReport)->group("");
    return command;
}

// The library's refusal, help or version as the answer the program gives.
Answer Answered(const CLI::ParseError& error, const CLI::App& program) {
    const std::vector<CLI::App*> chosen = program.get_subcommands();
    const CLI::App* command = chosen.empty() ? nullptr : chosen.front();
    if (dynamic_cast<const CLI::CallForHelp*>(&error) != nullptr) {
        // The program's help is the chosen command's, with the full name.
        return Answer{kExitOk, program.help(), ""};
    }
    if (dynamic_cast<const CLI::CallForVersion*>(&error) != nullptr) {
        return Answer{kExitOk, std::string(error.what()) + "\n", ""};
    }
    std::string prefix = kProgram;
    if (command != nullptr) {
        prefix += " " + command->get_name();
    }
    std::string message = prefix + ": " + Refusal(error, program, command) + "\n";
    if (command == nullptr) {
        message += "\n" + program.help();
    }
    return Answer{kExitBadInput, "", message};
}

} // namespace

Request ParseCommandLine(std::span<const std::string> arguments) {
    Declared declared;
    CLI::App program("Hosts the Quellmark plugin module outside the game.", kProgram);
    program.get_formatter()->label("Usage", "usage");
    program.set_version_flag("--version", std::string("Quellmark ") + kPluginVersionText,
                             "print the plugin's version and exit");
    program.require_subcommand(1);
    CLI::App& renderCommand = AddRenderCommand(program, declared);
    CLI::App& windowCommand = AddWindowCommand(program, declared);
    CLI::App& scenarioCommand = *program.add_subcommand(
        "scenario", "print the embedded default scenario, to start a scenario file from");
    AddValidateCommand(program, declared.validate);
    // Set last: subcommands take their parent's footer when they are added.
    program.footer("'quellmark-sandbox COMMAND --help' lists a command's options.");

    // CLI11 takes the words last first.
    std::vector<std::string> words(arguments.rbegin(), arguments.rend());
    try {
        program.parse(words);
    } catch (const CLI::ParseError& error) {
        return Answered(error, program);
    }
    if (program.got_subcommand(&renderCommand)) {
        TakeSets(declared.renderSets, declared.render.session);
        return declared.render;
    }
    if (program.got_subcommand(&windowCommand)) {
        TakeSets(declared.windowSets, declared.window.session);
        return declared.window;
    }
    if (program.got_subcommand(&scenarioCommand)) {
        return ScenarioOptions{};
    }
    return declared.validate;
}

} // namespace sandbox
