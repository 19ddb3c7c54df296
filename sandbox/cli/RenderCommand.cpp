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
#include "PngFile.h"
#include "ProgressBar.h"
#include "Readback.h"
#include "Session.h"
#include "Subcommands.h"
#include "TraceWriter.h"

namespace sandbox {

namespace {

namespace fs = std::filesystem;

constexpr float kFrameSeconds = 1.0f / 60.0f;

// Where the frames go: one file, or a folder of numbered files. Checked before
// anything is loaded or drawn, so a bad path costs nothing and writes nothing.
struct OutputPlan {
    fs::path path;
    bool folder = false;

    fs::path FrameFile(int frame) const {
        if (!folder) {
            return path;
        }
        char name[32];
        std::snprintf(name, sizeof name, "frame-%04d.png", frame);
        return path / name;
    }
};

OutputPlan PlanOutput(const RenderOptions& options, int frames) {
    OutputPlan plan;
    plan.folder = frames > 1;
    plan.path = options.out.value_or(plan.folder ? "quellmark-frames" : "quellmark.png");
    std::error_code error;
    if (plan.folder) {
        if (plan.path.extension() == ".png" && !fs::is_directory(plan.path, error)) {
            throw InputError("--out " + plan.path.string() + ": " + std::to_string(frames) +
                             " frames go into a folder, not a .png file");
        }
        if (fs::exists(plan.path, error) && !fs::is_directory(plan.path, error)) {
            throw InputError("--out " + plan.path.string() +
                             ": several frames need a folder, and this is a file");
        }
        return plan;
    }
    if (fs::is_directory(plan.path, error)) {
        throw InputError("--out " + plan.path.string() + ": is a folder; one frame needs a file");
    }
    const fs::path parent = plan.path.has_parent_path() ? plan.path.parent_path() : ".";
    if (!fs::is_directory(parent, error)) {
        throw InputError("--out " + plan.path.string() + ": folder " + parent.string() +
                         " does not exist");
    }
    return plan;
}

std::string Caption(const Session& session, const sim::Host& host, int frame) {
    return CaptionWithVariables("Quellmark sandbox  frame " + std::to_string(frame) + "/" +
                                    std::to_string(session.GetScenario().frames) + "  " +
                                    sim::GameModeName(host.mode),
                                host.console);
}

} // namespace

int RunRender(const RenderOptions& options) {
    // With --trace stdout is the trace alone; everything else goes to stderr.
    std::FILE* info = options.session.trace ? stderr : stdout;
    TraceWriter trace(stdout, options.session.trace);

    // The scenario and the output path are checked before the module is touched.
    Scenario chosen = ChooseScenario(options.session);
    const OutputPlan output = PlanOutput(options, chosen.frames);
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

    if (output.folder) {
        fs::create_directories(output.path);
    }
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
        WritePng(output.FrameFile(frame), ReadPixels(target.Renderer()));
        progress.Update(frame);
    }
    progress.Finish();
    session.Close(trace);
    std::fprintf(info, "wrote %s\n", fs::absolute(output.path).string().c_str());
    return kExitOk;
}

} // namespace sandbox
