#include "window/WindowRun.h"

#include <algorithm>
#include <string>

#include <SDL.h>
#include <backends/imgui_impl_sdl.h>
#include <imgui.h>

#include "base/Interruption.h"
#include "base/ProgramPath.h"
#include "picture/Caption.h"
#include "window/FreeCamera.h"

namespace sandbox {

namespace {

constexpr Uint32 kFrameMilliseconds = 16;
constexpr float kCameraSpeed = 1500.0f; // world units per second
constexpr float kBallSpeed = 1200.0f;
constexpr float kFastFactor = 4.0f;
constexpr int kTurnPerPixel = 40; // host angle units

} // namespace

WindowRun::WindowRun(Session& session, Window& window, TraceWriter& trace, ScriptPlayer& script,
                     const Interruption& interruption)
    : session_(session), window_(window), script_(script), interruption_(interruption),
      hostFrame_(session, trace, window.Renderer()) {}

int WindowRun::Run(std::optional<int> frameLimit) {
    Uint32 last = SDL_GetTicks();
    while (running_) {
        interruption_.ThrowIfRequested();
        ++frame_;
        script_.Act(frame_, console_, session_, panel_);
        WatchModule();
        TakeInput();
        const Uint32 now = SDL_GetTicks();
        MoveScene(std::min(0.1f, float(now - last) / 1000.0f));
        last = now;
        Draw();
        if (script_.QuitsAt(frame_) || (frameLimit && frame_ >= *frameLimit)) {
            running_ = false;
        }
        script_.SayWhenOver(frame_, frameLimit);
        const Uint32 spent = SDL_GetTicks() - now;
        if (running_ && spent < kFrameMilliseconds) {
            SDL_Delay(kFrameMilliseconds - spent);
        }
    }
    return frame_;
}

// A rebuild of the module's file is reloaded at this frame's start; the watch
// follows the module a `plugin load` put in its place.
void WindowRun::WatchModule() {
    if (!watcher_ || watcher_->Path() != PathFromText(session_.ModulePath())) {
        watcher_.emplace(PathFromText(session_.ModulePath()));
    }
    if (watcher_->Changed()) {
        session_.RequestReload("the module file changed");
    }
}

// SDL's events, the script's among them. Dear ImGui sees every event and
// keeps the ones meant for its windows.
void WindowRun::TakeInput() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        ImGui_ImplSDL2_ProcessEvent(&event);
        switch (event.type) {
        case SDL_QUIT:
            running_ = false;
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            TakeKey(event);
            break;
        case SDL_MOUSEMOTION:
        case SDL_MOUSEWHEEL:
            TakeMouse(event);
            break;
        default:
            break;
        }
    }
}

void WindowRun::TakeKey(const SDL_Event& event) {
    const SDL_Keycode key = event.key.keysym.sym;
    if (event.type == SDL_KEYUP) {
        held_.erase(key);
        return;
    }
    if (key == SDLK_ESCAPE) {
        // While typing, Escape is Dear ImGui's: it leaves the line.
        if (!typing_) {
            running_ = false;
        }
    } else if (!typing_ && !ImGui::GetIO().WantCaptureKeyboard) {
        if (key == SDLK_p && event.key.repeat == 0) {
            scene_.playing = !scene_.playing;
        }
        held_.insert(key);
    }
}

// Dragging with the right button turns the camera, the wheel changes its
// field of view; either takes the camera from the scenario.
void WindowRun::TakeMouse(const SDL_Event& event) {
    std::optional<sim::Actor>& camera = scene_.game.camera;
    if (ImGui::GetIO().WantCaptureMouse || !camera) {
        return;
    }
    if (event.type == SDL_MOUSEMOTION && (event.motion.state & SDL_BUTTON_RMASK) != 0) {
        Turn(*camera, event.motion.xrel * kTurnPerPixel, -event.motion.yrel * kTurnPerPixel);
        scene_.playing = false;
    } else if (event.type == SDL_MOUSEWHEEL) {
        camera->fov = std::clamp(camera->fov - 5.0f * float(event.wheel.y), 10.0f, 170.0f);
        scene_.playing = false;
    }
}

// The scenario's next frame while playing, then the moves of the keys held
// over `seconds`.
void WindowRun::MoveScene(float seconds) {
    if (scene_.playing) {
        scene_.game = StateAt(session_.GetScenario(), scene_.scenarioFrame++);
    }
    const float fast = held_.count(SDLK_LSHIFT) || held_.count(SDLK_RSHIFT) ? kFastFactor : 1.0f;
    auto axis = [&](SDL_Keycode plus, SDL_Keycode minus) {
        return float(held_.count(plus)) - float(held_.count(minus));
    };
    const Vector cameraStep =
        Vector{axis(SDLK_w, SDLK_s), axis(SDLK_d, SDLK_a), axis(SDLK_r, SDLK_f)} *
        (kCameraSpeed * fast * seconds);
    const Vector ballStep = Vector{axis(SDLK_UP, SDLK_DOWN), axis(SDLK_RIGHT, SDLK_LEFT),
                                   axis(SDLK_PAGEUP, SDLK_PAGEDOWN)} *
                            (kBallSpeed * fast * seconds);
    std::optional<sim::Actor>& camera = scene_.game.camera;
    std::optional<sim::Actor>& ball = scene_.game.ball;
    if (camera && !(cameraStep == Vector{})) {
        MoveInView(*camera, cameraStep);
        scene_.playing = false;
    }
    if (ball && camera && !(ballStep == Vector{})) {
        MoveBall(*ball, *camera, ballStep);
        scene_.playing = false;
    }
}

// The host's frame with the console over it, the screenshots due, then the
// picture shown.
void WindowRun::Draw() {
    ImGui_ImplSDL2_NewFrame();
    script_.Point(frame_);
    sim::Host& host = session_.Host();
    const Vector2 canvas = window_.Size();
    panel_ = hostFrame_.Run(
        frame_, scene_.game, canvas,
        {[this] { return Caption(); },
         [&] { typing_ = console_.Draw(host.console, float(canvas.X), float(canvas.Y)); }});
    script_.Photograph(frame_, window_.Renderer(), session_);
    SDL_RenderPresent(window_.Renderer());
    session_.FlushConsole(stderr);
}

// The status line. The frame is the window's, as the script counts it; the
// scenario's own frame is added once pausing has set them apart. Last comes
// what became of the last module request (a reload after a rebuild).
std::string WindowRun::Caption() const {
    std::string caption = "W/A/S/D/R/F camera, right-drag turn, arrows PgUp/PgDn ball, "
                          "P play/pause, Esc quit    ";
    caption += scene_.playing ? "playing" : "paused";
    caption += "  frame " + std::to_string(frame_);
    if (const int played = scene_.scenarioFrame - 1; played != frame_) {
        caption += " (scenario frame " + std::to_string(played) + ")";
    }
    caption = CaptionWithVariables(caption, session_.Host().console);
    if (!session_.ModuleStatus().empty()) {
        caption += "    " + session_.ModuleStatus();
    }
    return caption;
}

} // namespace sandbox
