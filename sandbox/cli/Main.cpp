#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/ExitStatus.h"
#include "base/InputError.h"
#include "base/Interruption.h"
#include "base/Say.h"
#include "cli/CommandLine.h"
#include "cli/ProcessStart.h"
#include "files/FileError.h"
#include "files/StandardStreams.h"
#include "validate/Validator.h"

namespace {

// Runs one subcommand, turning what it throws into a message that names the
// command and the exit status that says what kind of failure it was.
template <typename Run> int Guarded(const char* command, Run run) {
    const std::string prefix = std::string("quellmark-sandbox ") + command + ": ";
    try {
        return run();
    } catch (const sandbox::Interrupted& interrupted) {
        // What the run had half written went with the stack.
        sandbox::Say(stderr, prefix + interrupted.what() + "; stopped, nothing half written kept");
        return interrupted.ExitStatus();
    } catch (const sandbox::InputError& error) {
        sandbox::Say(stderr, prefix + error.what());
        return sandbox::kExitBadInput;
    } catch (const files::Refused& error) {
        // A file given that cannot be used as asked: bad input too.
        sandbox::Say(stderr, prefix + error.what());
        return sandbox::kExitBadInput;
    } catch (const std::exception& error) {
        sandbox::Say(stderr, prefix + error.what());
        return sandbox::kExitFailure;
    }
}

struct Dispatch {
    const sandbox::Interruption& interruption;

    int operator()(const sandbox::RenderOptions& options) const {
        return Guarded("render", [&] { return sandbox::RunRender(options, interruption); });
    }
    int operator()(const sandbox::WindowOptions& options) const {
        return Guarded("window", [&] { return sandbox::RunWindow(options, interruption); });
    }
    int operator()(const sandbox::ScenarioOptions& options) const {
        return Guarded("scenario", [&] { return sandbox::RunScenario(options); });
    }
    int operator()(const validate::ValidateOptions& options) const {
        return Guarded("validate", [&] { return validate::RunValidate(options, interruption); });
    }
    int operator()(const sandbox::Answer& answer) const {
        std::fputs(answer.out.c_str(), stdout);
        // A refusal quotes the words it refuses, which may hold anything.
        std::string_view err = answer.err;
        while (!err.empty()) {
            const std::size_t end = err.find('\n');
            sandbox::Say(stderr, err.substr(0, end));
            err.remove_prefix(end == std::string_view::npos ? err.size() : end + 1);
        }
        return answer.status;
    }
};

} // namespace

int main(int argc, char** argv) {
    // Before any file is opened: no output may take a standard stream's place.
    if (const auto problem = files::PrepareStandardStreams()) {
        sandbox::Say(stderr, "quellmark-sandbox: " + *problem);
        return sandbox::kExitFailure;
    }
    // Before any thread starts: the threads inherit that these signals are
    // the watcher's.
    const sandbox::Interruption interruption;
    sandbox::UseBinaryStandardStreams();
    const std::vector<std::string> arguments = sandbox::CommandLineArguments(argc, argv);
    const int status = std::visit(Dispatch{interruption}, sandbox::ParseCommandLine(arguments));
    // Whatever the command printed must have arrived, --help and --version
    // included: a reader that went away or a full disk fails the run.
    if (const auto problem = files::FinishStandardOutput()) {
        sandbox::Say(stderr, "quellmark-sandbox: " + *problem);
        return status == sandbox::kExitOk ? sandbox::kExitFailure : status;
    }
    return status;
}
