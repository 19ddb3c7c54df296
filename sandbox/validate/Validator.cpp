#include "Validator.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "AllChecks.h"
#include "ChildRunner.h"
#include "ExitStatus.h"
#include "ValidateOptions.h"

namespace {

// The program's exit statuses: every check passed, one failed, a command line
// it cannot run.
constexpr int kExitPassed = sandbox::kExitOk;
constexpr int kExitFailed = sandbox::kExitFailure;
constexpr int kExitBadOptions = sandbox::kExitBadInput;

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: quellmark-sandbox validate [--module PATH] [--cycles N] [--seed S]\n"
                 "                                  [--only NAME] [--list]\n\n"
                 "Runs each check on the plugin module in a process of its own and prints\n"
                 "'PASS name' or 'FAIL name: reason', then 'N passed, N failed'.\n\n"
                 "  --module PATH  the module (default: Quellmark.so beside this program)\n"
                 "  --cycles N     load/unload cycles of the load-cycles check (default 100)\n"
                 "  --seed S       seed of the random frames, decimal or 0x-hex (default %#llx)\n"
                 "  --only NAME    run only the named check\n"
                 "  --list         list the checks and exit\n",
                 static_cast<unsigned long long>(validate::kDefaultSeed));
}

std::string BesideThisProgram(const char* file) {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return file;
    }
    return (self.parent_path() / file).string();
}

int BadOptions(const std::string& message) {
    std::fprintf(stderr, "quellmark-sandbox validate: %s\n", message.c_str());
    std::fprintf(stderr, "'quellmark-sandbox validate --help' lists the options.\n");
    return kExitBadOptions;
}

} // namespace

int RunValidate(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.emplace_back(argv[i]);
    }
    validate::ValidateOptions options;
    try {
        options = validate::ParseValidateOptions(arguments);
    } catch (const validate::OptionError& error) {
        return BadOptions(error.what());
    }
    if (options.help) {
        PrintUsage(stdout);
        return kExitPassed;
    }

    const std::vector<validate::Check> checks = validate::AllChecks();
    if (options.list) {
        for (const validate::Check& check : checks) {
            std::printf("%-16.*s %.*s\n", int(check.name.size()), check.name.data(),
                        int(check.summary.size()), check.summary.data());
        }
        return kExitPassed;
    }
    std::vector<const validate::Check*> selected;
    if (options.only) {
        const validate::Check* check = validate::FindCheck(checks, *options.only);
        if (check == nullptr) {
            return BadOptions("no check is called '" + *options.only +
                              "'; 'quellmark-sandbox validate --list' names them");
        }
        selected.push_back(check);
    } else {
        for (const validate::Check& check : checks) {
            selected.push_back(&check);
        }
    }

    validate::CheckContext context;
    context.modulePath =
        options.modulePath.empty() ? BesideThisProgram("Quellmark.so") : options.modulePath;
    std::error_code error;
    if (!std::filesystem::is_regular_file(context.modulePath, error)) {
        return BadOptions("no module file at '" + context.modulePath + "'");
    }
    context.modulePath = std::filesystem::absolute(context.modulePath, error).string();
    context.cycles = options.cycles;
    context.seed = options.seed;
    std::fprintf(stderr, "validating %s (seed %#llx, %d load cycles)\n", context.modulePath.c_str(),
                 static_cast<unsigned long long>(context.seed), context.cycles);

    int passed = 0;
    int failed = 0;
    for (const validate::Check* check : selected) {
        const validate::Verdict verdict = validate::RunInChild(*check, context);
        if (verdict.passed) {
            ++passed;
            std::printf("PASS %.*s\n", int(check->name.size()), check->name.data());
        } else {
            ++failed;
            std::printf("FAIL %.*s: %s\n", int(check->name.size()), check->name.data(),
                        verdict.reason.c_str());
        }
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? kExitPassed : kExitFailed;
}
