// The `scenario` subcommand: the embedded default, printed so a scenario file
// can start from it (`quellmark-sandbox scenario > mine.json`).

#include <cstdio>

#include "cli/Subcommands.h"
#include "scenario/DefaultScenario.h"

namespace sandbox {

int RunScenario(const ScenarioOptions&) {
    const std::string_view text = DefaultScenarioText();
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    return std::fflush(stdout) == 0 && std::ferror(stdout) == 0 ? kExitOk : kExitFailure;
}

} // namespace sandbox
