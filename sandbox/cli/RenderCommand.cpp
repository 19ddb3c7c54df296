#include <cstdio>
#include <filesystem>
#include <string>

#include "FrameOutput.h"
#include "Options.h"
#include "OutputPlan.h"
#include "ProgressBar.h"
#include "RenderLoop.h"
#include "Session.h"
#include "Subcommands.h"
#include "TraceWriter.h"

namespace sandbox {

int RunRender(const RenderOptions& options) {
    // With --trace stdout is the trace alone; everything else goes to stderr.
    std::FILE* info = options.session.trace ? stderr : stdout;
    TraceWriter trace(stdout, options.session.trace);

    // The scenario and the output path are checked before the module is touched.
    Scenario chosen = ChooseScenario(options.session);
    const OutputPlan plan = PlanOutput(options.out, chosen.frames);
    Session session(std::move(chosen), options.session, trace, stderr);
    std::fprintf(info, "%s\n", session.Description().c_str());
    session.FlushConsole(stderr);

    const Scenario& scenario = session.GetScenario();
    const auto output =
        OpenOutput(plan, scenario.canvas.X, scenario.canvas.Y, kRenderFramesPerSecond);
    ProgressBar progress(stderr, scenario.frames, options.session.trace ? stdout : nullptr);
    RenderFrames(session, trace, *output, [&](int frame) {
        if (session.ConsolePending()) {
            progress.Clear();
            session.FlushConsole(stderr);
        }
        progress.Update(frame);
    });
    progress.Finish();
    session.Close(trace);
    std::fprintf(info, "wrote %s\n", std::filesystem::absolute(plan.path).string().c_str());
    return kExitOk;
}

} // namespace sandbox
