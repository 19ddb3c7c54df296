#pragma once

#include "base/ExitStatus.h"
#include "cli/Options.h"

namespace sandbox {

// Each subcommand in its own file; each returns the process's exit status and
// throws InputError (status 2) for bad input. `validate` is the validator's
// own validate::RunValidate.
int RunRender(const RenderOptions& options); // RenderCommand.cpp
int RunWindow(const WindowOptions& options); // WindowCommand.cpp
int RunScenario(const ScenarioOptions&);     // ScenarioCommand.cpp

} // namespace sandbox
