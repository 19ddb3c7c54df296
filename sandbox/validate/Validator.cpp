#include "validate/Validator.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/ExitStatus.h"
#include "base/InputError.h"
#include "base/Interruption.h"
#include "base/ProgramPath.h"
#include "base/Say.h"
#include "files/InputFile.h"
#include "files/PathText.h"
#include "files/PrivateFolder.h"
#include "sim/ModuleCopy.h"
#include "validate/checks/AllChecks.h"
#include "validate/checks/ChildRunner.h"

namespace validate {

namespace {

// The validator's exit statuses: every check passed, or one failed.
constexpr int kExitPassed = sandbox::kExitOk;
constexpr int kExitFailed = sandbox::kExitFailure;

int List(const std::vector<Check>& checks) {
    for (const Check& check : checks) {
        std::printf("%-16.*s %-10s %.*s\n", int(check.name.size()), check.name.data(),
                    GroupName(check.group), int(check.summary.size()), check.summary.data());
    }
    return kExitPassed;
}

// The loader's messages name the file it opened; the user knows the original.
std::string Renamed(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string SeedText(std::uint64_t seed) {
    char text[32];
    std::snprintf(text, sizeof text, "%#llx", static_cast<unsigned long long>(seed));
    return text;
}

// A path from the command line, made absolute, as UTF-8.
std::string Absolute(const std::string& path) {
    std::error_code error;
    const std::filesystem::path given = files::PathFromText(path);
    const std::filesystem::path full = std::filesystem::absolute(given, error);
    return files::PathText(error ? given : full);
}

CheckContext ContextOf(const ValidateOptions& options) {
    CheckContext context;
    const std::string module =
        options.modulePath.empty() ? sandbox::ModuleBesideProgram() : options.modulePath;
    // Refused, with the file layer's reason, unless it is a regular file.
    files::InputFile(files::PathFromText(module), {"module", std::uint64_t(1) << 32, false});
    context.modulePath = Absolute(module);
    context.cycles = options.cycles;
    context.seed = options.seed;
    context.failuresDir = Absolute(options.failuresDir);
    return context;
}

// The module's class name, asked in a child of its own: a module that crashes
// as it loads must not take the validator with it. Empty when it cannot say.
std::string ClassNameOf(const CheckContext& context) {
    const Verdict verdict = RunInChild(ClassNameProbe(), context);
    return verdict.passed ? verdict.answer : std::string();
}

// In the list's order, each once, however the names were given; with no
// names, every check for any plugin and, for Quellmark, its own.
std::vector<const Check*> Select(const std::vector<Check>& checks, const ValidateOptions& options,
                                 const CheckContext& context) {
    bool quellmark = false;
    if (options.only.empty()) {
        const std::string name = ClassNameOf(context);
        quellmark = name == kQuellmarkClassName;
        std::fprintf(stderr, "class name %s: %s\n",
                     name.empty() ? "unknown" : ("'" + name + "'").c_str(),
                     quellmark ? "Quellmark's own checks run too"
                               : "the checks for any plugin (Quellmark's own: --only NAME)");
    }
    std::vector<const Check*> selected;
    for (const Check& check : checks) {
        const bool named =
            std::find(options.only.begin(), options.only.end(), check.name) != options.only.end();
        const bool byDefault = check.group == CheckGroup::EveryPlugin || quellmark;
        if (options.only.empty() ? byDefault : named) {
            selected.push_back(&check);
        }
    }
    return selected;
}

// This program started by a validator for the one check --only names.
int ServeChild(const std::vector<Check>& checks, const ValidateOptions& options) {
    if (options.only.size() != 1) {
        throw sandbox::InputError("--child-report runs exactly one check, named by --only");
    }
    const Check* check = FindCheck(checks, options.only.front());
    if (check == nullptr) {
        check = &ClassNameProbe();
    }
    CheckContext context;
    context.modulePath = options.modulePath;
    context.cycles = options.cycles;
    context.seed = options.seed;
    context.failuresDir = options.failuresDir;
    return ServeAsChild(*check, context, options.childReport);
}

// The checks' verdicts, one line each, and the summary.
int RunChecks(const std::vector<const Check*>& checks, const CheckContext& context,
              const sandbox::Interruption& interruption, const std::string& shown) {
    int passed = 0;
    int failed = 0;
    for (const Check* check : checks) {
        const Verdict verdict = RunInChild(*check, context);
        // A check stopped half way has no verdict.
        interruption.ThrowIfRequested();
        const std::string name(check->name);
        if (verdict.passed) {
            ++passed;
            sandbox::Say(stdout, "PASS " + name);
        } else {
            ++failed;
            // Said of the file the user named, not of its private copy.
            sandbox::Say(stdout, "FAIL " + name + ": " +
                                     Renamed(verdict.reason, context.modulePath, shown));
        }
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? kExitPassed : kExitFailed;
}

} // namespace

int RunValidate(const ValidateOptions& options, const sandbox::Interruption& interruption) {
    const std::vector<Check> checks = AllChecks();
    if (options.list) {
        return List(checks);
    }
    for (const std::string& name : options.only) {
        const bool probe = !options.childReport.empty() && name == ClassNameProbe().name;
        if (FindCheck(checks, name) == nullptr && !probe) {
            throw sandbox::InputError("no check is called '" + name +
                                      "'; 'validate --list' names them");
        }
    }
    if (!options.childReport.empty()) {
        return ServeChild(checks, options);
    }
    CheckContext context = ContextOf(options);
    const std::string shown = context.modulePath;
    // The checks load a private copy: a rebuild of the file while they run
    // cannot reach a module that is loaded.
    files::PrivateFolder copies("quellmark-modules-");
    const std::filesystem::path copy = copies.Path() / files::PathFromText(shown).filename();
    std::string error;
    if (!sim::CopyModule(shown, copy, error)) {
        throw sandbox::InputError(error);
    }
    context.modulePath = files::PathText(copy);
    context.stopping = [&interruption] { return interruption.Signal() != 0; };
    sandbox::Say(stderr, "validating " + shown + " (seed " + SeedText(context.seed) + ", " +
                             std::to_string(context.cycles) + " load cycles)");
    return RunChecks(Select(checks, options, context), context, interruption, shown);
}

} // namespace validate
