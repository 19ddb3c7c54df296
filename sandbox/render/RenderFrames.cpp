#include "render/RenderFrames.h"

#include <chrono>
#include <string>

#include <SDL.h>
#include <imgui.h>

#include "base/ThreadCpuTime.h"
#include "output/EncoderThread.h"
#include "picture/Caption.h"
#include "picture/DrawDataRenderer.h"
#include "picture/OffscreenTarget.h"
#include "picture/Readback.h"

namespace sandbox {

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

std::string Caption(const Session& session, const sim::Host& host, int frame) {
    return CaptionWithVariables("Quellmark sandbox  frame " + std::to_string(frame) + "/" +
                                    std::to_string(session.GetScenario().frames) + "  " +
                                    sim::GameModeName(host.mode),
                                host.console);
}

} // namespace

RenderTimes RenderFrames(Session& session, TraceWriter& trace, FrameOutput& output,
                         const std::function<void(int)>& frameDone) {
    const Clock::time_point start = Clock::now();
    const Scenario& scenario = session.GetScenario();
    sim::Host& host = session.Host();
    const Vector2 picture = PictureSize(scenario.canvas);
    OffscreenTarget target(picture.X, picture.Y);
    DrawDataRenderer renderer(target.Renderer());
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(float(picture.X), float(picture.Y));
    io.DeltaTime = 1.0f / float(kRenderFramesPerSecond);

    RenderTimes times;
    const double cpuAtStart = ThreadCpuSeconds();
    EncoderThread encoder(output);
    for (int frame = 1; frame <= scenario.frames; ++frame) {
        const Clock::time_point simulating = Clock::now();
        ApplyFrame(scenario, frame, host);
        session.RunGameFrame();

        const Clock::time_point drawing = Clock::now();
        ImGui::NewFrame();
        session.DrawUi(Caption(session, host, frame));
        ImGui::Render();
        SDL_SetRenderDrawColor(target.Renderer(), 20, 24, 32, 255);
        SDL_RenderClear(target.Renderer());
        renderer.Render(ImGui::GetDrawData());
        Image picture = ReadPixels(target.Renderer());
        const Clock::time_point drawn = Clock::now();
        times.simulation += Seconds(simulating, drawing);
        times.drawing += Seconds(drawing, drawn);

        trace.Section("frame " + std::to_string(frame), host.log);
        encoder.Push(std::move(picture));
        frameDone(frame);
    }
    times.drawingCpu = ThreadCpuSeconds() - cpuAtStart;
    encoder.Finish();
    times.encodingCpu = encoder.EncodingCpuSeconds();
    times.encoding = encoder.EncodingSeconds();
    times.waiting = encoder.WaitingSeconds();
    times.total = Seconds(start, Clock::now());
    return times;
}

} // namespace sandbox
