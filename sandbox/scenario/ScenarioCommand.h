#pragma once

namespace sandbox {

// `quellmark-sandbox scenario` takes no options.
struct ScenarioOptions {};

// Prints the embedded default scenario, to start a scenario file from
// (`quellmark-sandbox scenario > mine.json`). Returns the exit status: 1 when
// standard output could not take it.
int RunScenario(const ScenarioOptions& options);

} // namespace sandbox
