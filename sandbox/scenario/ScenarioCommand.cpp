#include "scenario/ScenarioCommand.h"

#include <cstdio>
#include <string_view>

#include "base/ExitStatus.h"
#include "scenario/DefaultScenario.h"

namespace sandbox {

int RunScenario(const ScenarioOptions&) {
    const std::string_view text = DefaultScenarioText();
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    return std::fflush(stdout) == 0 && std::ferror(stdout) == 0 ? kExitOk : kExitFailure;
}

} // namespace sandbox
