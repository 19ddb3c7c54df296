#include "render/RenderCommand.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "base/Interruption.h"
#include "base/ProgramPath.h"
#include "base/Say.h"
#include "output/FrameOutput.h"
#include "output/OutputPlan.h"
#include "output/PngOutput.h"
#include "render/ProgressBar.h"
#include "render/RenderFrames.h"
#include "session/Session.h"
#include "session/TraceWriter.h"

namespace sandbox {

namespace {

// The output `plan` names, checked and opened before the module is touched, so
// a bad target costs nothing and writes nothing.
std::unique_ptr<FrameOutput> OpenRenderOutput(const OutputPlan& plan, const Scenario& scenario,
                                              bool logOnStdout) {
    if (plan.format == OutputFormat::Png) {
        return std::make_unique<PngOutput>(plan, scenario.frames, logOnStdout, stderr);
    }
    const Vector2 picture = PictureSize(scenario.canvas);
    return OpenOutput(plan, picture.X, picture.Y, kRenderFramesPerSecond);
}

} // namespace

int RunRender(const RenderOptions& options, const Interruption& interruption) {
    TraceWriter trace(stdout, options.session.LogOnStdout());
    Scenario chosen = ChooseScenario(options.session, options.frames);
    const OutputPlan plan = PlanOutput(options.out, chosen.frames);
    const std::unique_ptr<FrameOutput> output =
        OpenRenderOutput(plan, chosen, options.session.LogOnStdout());
    // With --trace or --log-handles, or --out -, stdout is the log or the PNG
    // alone; everything else goes to stderr.
    const bool pngToStdout = plan.path == "-";
    std::FILE* info = options.session.LogOnStdout() || pngToStdout ? stderr : stdout;
    Session session(std::move(chosen), options.session, trace, stderr);
    Say(info, session.Description());
    session.FlushConsole(stderr);

    const int frames = session.GetScenario().frames;
    ProgressBar progress(stderr, frames, options.session.trace ? stdout : nullptr);
    RenderFrames(session, trace, *output, [&](int frame) {
        interruption.ThrowIfRequested();
        if (session.ConsolePending()) {
            progress.Clear();
            session.FlushConsole(stderr);
        }
        progress.Update(frame);
        if (frame == frames) {
            // Ended before the output finishes, which may have a word to say
            // (stale frames removed from the folder).
            progress.Finish();
        }
    });
    const std::string written =
        pngToStdout ? "the PNG to standard output" : PathText(std::filesystem::absolute(plan.path));
    session.Close(trace);
    Say(info, "wrote " + written);
    return EndedRunStatus(session, stderr);
}

} // namespace sandbox
