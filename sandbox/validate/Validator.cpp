#include "validate/Validator.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/ExitStatus.h"
#include "base/InputError.h"
#include "base/ProgramPath.h"
#include "validate/checks/AllChecks.h"
#include "validate/checks/ChildRunner.h"

namespace validate {

namespace {

// The validator's exit statuses: every check passed, or one failed.
constexpr int kExitPassed = sandbox::kExitOk;
constexpr int kExitFailed = sandbox::kExitFailure;

} // namespace

int RunValidate(const ValidateOptions& options) {
    const std::vector<Check> checks = AllChecks();
    if (options.list) {
        for (const Check& check : checks) {
            std::printf("%-16.*s %.*s\n", int(check.name.size()), check.name.data(),
                        int(check.summary.size()), check.summary.data());
        }
        return kExitPassed;
    }
    for (const std::string& name : options.only) {
        if (FindCheck(checks, name) == nullptr) {
            throw sandbox::InputError("no check is called '" + name +
                                      "'; 'validate --list' names them");
        }
    }
    // In the list's order, each once, however the names were given.
    std::vector<const Check*> selected;
    for (const Check& check : checks) {
        if (options.only.empty() ||
            std::find(options.only.begin(), options.only.end(), check.name) != options.only.end()) {
            selected.push_back(&check);
        }
    }

    CheckContext context;
    context.modulePath =
        options.modulePath.empty() ? sandbox::ModuleBesideProgram() : options.modulePath;
    std::error_code error;
    if (!std::filesystem::is_regular_file(context.modulePath, error)) {
        throw sandbox::InputError("no module file at '" + context.modulePath + "'");
    }
    context.modulePath = std::filesystem::absolute(context.modulePath, error).string();
    context.cycles = options.cycles;
    context.seed = options.seed;
    context.failuresDir = std::filesystem::absolute(options.failuresDir, error).string();
    std::fprintf(stderr, "validating %s (seed %#llx, %d load cycles)\n", context.modulePath.c_str(),
                 static_cast<unsigned long long>(context.seed), context.cycles);

    int passed = 0;
    int failed = 0;
    for (const Check* check : selected) {
        const Verdict verdict = RunInChild(*check, context);
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

} // namespace validate
