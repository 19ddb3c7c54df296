#include "render/RenderFrames.h"

#include <chrono>
#include <string>

#include <SDL.h>
#include <imgui.h>

#include "base/ThreadCpuTime.h"
#include "output/EncoderThread.h"
#include "picture/Caption.h"
#include "picture/OffscreenTarget.h"
#include "picture/Readback.h"
#include "session/HostFrame.h"

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
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(float(picture.X), float(picture.Y));
    io.DeltaTime = 1.0f / float(kRenderFramesPerSecond);

    HostFrame hostFrame(session, trace, target.Renderer());

    RenderTimes times;
    const double cpuAtStart = ThreadCpuSeconds();
    EncoderThread encoder(output);
    for (int frame = 1; frame <= scenario.frames; ++frame) {
        const Clock::time_point started = Clock::now();
        hostFrame.Run(frame, StateAt(scenario, frame), scenario.canvas,
                      {[&] { return Caption(session, host, frame); }, {}});
        Image picture = ReadPixels(target.Renderer());
        const Clock::time_point drawn = Clock::now();
        times.drawing += Seconds(started, drawn);
        encoder.Push(std::move(picture));
        frameDone(frame);
    }
    times.simulation = hostFrame.GameSeconds();
    times.drawing -= times.simulation;
    times.drawingCpu = ThreadCpuSeconds() - cpuAtStart;
    encoder.Finish();
    times.encodingCpu = encoder.EncodingCpuSeconds();
    times.encoding = encoder.EncodingSeconds();
    times.waiting = encoder.WaitingSeconds();
    times.total = Seconds(start, Clock::now());
    return times;
}

} // namespace sandbox
