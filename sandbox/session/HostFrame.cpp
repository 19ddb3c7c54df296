#include "session/HostFrame.h"

#include <chrono>

#include <SDL.h>
#include <imgui.h>

namespace sandbox {

namespace {

// Behind the backdrop wherever it leaves the picture uncovered.
constexpr SDL_Color kBackground{20, 24, 32, 255};

} // namespace

HostFrame::HostFrame(Session& session, TraceWriter& trace, SDL_Renderer* target)
    : session_(session), trace_(trace), target_(target), renderer_(target) {}

PanelWidget HostFrame::Run(int number, const FrameState& game, Vector2 canvas, const FrameUi& ui) {
    const auto started = std::chrono::steady_clock::now();
    sim::Host& host = session_.Host();
    host.ball = game.ball;
    host.camera = game.camera;
    host.canvasSize = canvas;
    session_.RunGameFrame();
    gameSeconds_ +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    ImGui::NewFrame();
    const PanelWidget panel = session_.DrawUi(ui.caption ? ui.caption() : std::string());
    if (ui.windows) {
        ui.windows();
    }
    ImGui::Render();

    SDL_SetRenderDrawColor(target_, kBackground.r, kBackground.g, kBackground.b, kBackground.a);
    SDL_RenderClear(target_);
    renderer_.Render(ImGui::GetDrawData());
    trace_.Section("frame " + std::to_string(number), host.log);
    return panel;
}

} // namespace sandbox
