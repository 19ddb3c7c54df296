#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "base/ProgramPath.h"
#include "cli/Options.h"
#include "cli/Subcommands.h"
#include "output/FrameOutput.h"
#include "output/OutputPlan.h"
#include "output/PngOutput.h"
#include "render/ProgressBar.h"
#include "render/RenderFrames.h"
#include "session/Session.h"
#include "session/TraceWriter.h"

namespace sandbox {

int RunRender(const RenderOptions& options) {
    TraceWriter trace(stdout, options.session.LogOnStdout());

    // The scenario and the output path are checked before the module is touched.
    Scenario chosen = ChooseScenario(options.session, options.frames);
    const OutputPlan plan = PlanOutput(options.out, chosen.frames);
    std::unique_ptr<FrameOutput> output;
    if (plan.format == OutputFormat::Png) {
        output =
            std::make_unique<PngOutput>(plan, chosen.frames, options.session.LogOnStdout(), stderr);
    }
    // With --trace or --log-handles, or --out -, stdout is the log or the PNG
    // alone; everything else goes to stderr.
    const bool pngToStdout = plan.path == "-";
    std::FILE* info = options.session.LogOnStdout() || pngToStdout ? stderr : stdout;
    Session session(std::move(chosen), options.session, trace, stderr);
    std::fprintf(info, "%s\n", session.Description().c_str());
    session.FlushConsole(stderr);

    const Scenario& scenario = session.GetScenario();
    if (!output) {
        const Vector2 picture = PictureSize(scenario.canvas);
        output = OpenOutput(plan, picture.X, picture.Y, kRenderFramesPerSecond);
    }
    ProgressBar progress(stderr, scenario.frames, options.session.trace ? stdout : nullptr);
    RenderFrames(session, trace, *output, [&](int frame) {
        if (session.ConsolePending()) {
            progress.Clear();
            session.FlushConsole(stderr);
        }
        progress.Update(frame);
        if (frame == scenario.frames) {
            // Ended before the output finishes, which may have a word to say
            // (stale frames removed from the folder).
            progress.Finish();
        }
    });
    const std::string written =
        pngToStdout ? "the PNG to standard output" : PathText(std::filesystem::absolute(plan.path));
    session.Close(trace);
    std::fprintf(info, "wrote %s\n", written.c_str());
    return EndedRunStatus(session, stderr);
}

} // namespace sandbox
