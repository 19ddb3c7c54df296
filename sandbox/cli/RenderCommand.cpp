#include <cstdio>
#include <filesystem>
#include <string>

#include <SDL.h>
#include <imgui.h>

#include "Caption.h"
#include "DrawDataRenderer.h"
#include "InputError.h"
#include "OffscreenTarget.h"
#include "Options.h"
#include "ProgressBar.h"
#include "Readback.h"
#include "RenderOutput.h"
#include "Session.h"
#include "Subcommands.h"
#include "TraceWriter.h"

namespace sandbox {

namespace {

constexpr float kFrameSeconds = 1.0f / 60.0f;

std::string Caption(const Session& session, const sim::Host& host, int frame) {
    return CaptionWithVariables("Quellmark sandbox  frame " + std::to_string(frame) + "/" +
                                    std::to_string(session.GetScenario().frames) + "  " +
                                    sim::GameModeName(host.mode),
                                host.console);
}

} // namespace

int RunRender(const RenderOptions& options) {
    TraceWriter trace(stdout, options.session.LogOnStdout());

    // The scenario and the output path are checked before the module is touched.
    Scenario chosen = ChooseScenario(options.session);
    RenderOutput output(options.out, chosen.frames, options.session.LogOnStdout());
    // With --trace or --log-handles, or --out -, stdout is the log or the PNG
    // alone; everything else goes to stderr.
    std::FILE* info = options.session.LogOnStdout() || output.ToStandardOutput() ? stderr : stdout;
    Session session(std::move(chosen), options.session, trace, stderr);
    std::fprintf(info, "%s\n", session.Description().c_str());
    session.FlushConsole(stderr);

    const Scenario& scenario = session.GetScenario();
    sim::Host& host = session.Host();
    OffscreenTarget target(scenario.canvas.X, scenario.canvas.Y);
    DrawDataRenderer renderer(target.Renderer());
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(float(scenario.canvas.X), float(scenario.canvas.Y));
    io.DeltaTime = kFrameSeconds;

    ProgressBar progress(stderr, scenario.frames);
    for (int frame = 1; frame <= scenario.frames; ++frame) {
        ApplyFrame(scenario, frame, host);
        session.RunGameFrame();

        ImGui::NewFrame();
        session.DrawUi(Caption(session, host, frame));
        ImGui::Render();
        trace.Section("frame " + std::to_string(frame), host.log);
        session.FlushConsole(stderr);

        SDL_SetRenderDrawColor(target.Renderer(), 20, 24, 32, 255);
        SDL_RenderClear(target.Renderer());
        renderer.Render(ImGui::GetDrawData());
        output.Write(frame, ReadPixels(target.Renderer()));
        progress.Update(frame);
    }
    progress.Finish();
    const std::string written = output.Finish(stderr);
    session.Close(trace);
    std::fprintf(info, "wrote %s\n", written.c_str());
    const bool writesFailed = ReportFailedWrites(session, stderr);
    const bool handlesKept = session.ReportKeptHandles(stderr) != 0;
    return writesFailed || handlesKept ? kExitFailure : kExitOk;
}

} // namespace sandbox
