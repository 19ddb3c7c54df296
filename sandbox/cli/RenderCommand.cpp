#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "FrameOutput.h"
#include "Options.h"
#include "OutputPlan.h"
#include "PngFrames.h"
#include "ProgressBar.h"
#include "RenderLoop.h"
#include "RenderOutput.h"
#include "Session.h"
#include "Subcommands.h"
#include "TraceWriter.h"

namespace sandbox {

int RunRender(const RenderOptions& options) {
    TraceWriter trace(stdout, options.session.LogOnStdout());

    // The scenario and the output path are checked before the module is touched.
    Scenario chosen = ChooseScenario(options.session);
    const OutputPlan plan = PlanOutput(options.out, chosen.frames);
    std::optional<RenderOutput> pngs;
    if (plan.format == OutputFormat::Png) {
        pngs.emplace(options.out, chosen.frames, options.session.LogOnStdout());
    }
    // With --trace or --log-handles, or --out -, stdout is the log or the PNG
    // alone; everything else goes to stderr.
    std::FILE* info =
        options.session.LogOnStdout() || (pngs && pngs->ToStandardOutput()) ? stderr : stdout;
    Session session(std::move(chosen), options.session, trace, stderr);
    std::fprintf(info, "%s\n", session.Description().c_str());
    session.FlushConsole(stderr);

    const Scenario& scenario = session.GetScenario();
    const Vector2 picture = PictureSize(scenario.canvas);
    const std::unique_ptr<FrameOutput> output =
        pngs ? std::make_unique<PngFrames>(*pngs)
             : OpenOutput(plan, picture.X, picture.Y, kRenderFramesPerSecond);
    ProgressBar progress(stderr, scenario.frames, options.session.trace ? stdout : nullptr);
    RenderFrames(session, trace, *output, [&](int frame) {
        if (session.ConsolePending()) {
            progress.Clear();
            session.FlushConsole(stderr);
        }
        progress.Update(frame);
    });
    progress.Finish();
    const std::string written =
        pngs ? pngs->Finish(stderr) : std::filesystem::absolute(plan.path).string();
    session.Close(trace);
    std::fprintf(info, "wrote %s\n", written.c_str());
    return EndedRunStatus(session, stderr);
}

} // namespace sandbox
