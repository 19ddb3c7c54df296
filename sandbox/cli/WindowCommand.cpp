#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <SDL.h>
#include <backends/imgui_impl_sdl.h>
#include <imgui.h>

#include "base/InputError.h"
#include "base/ProgramPath.h"
#include "cli/Options.h"
#include "cli/Subcommands.h"
#include "files/OutputFile.h"
#include "picture/Caption.h"
#include "picture/DrawDataRenderer.h"
#include "picture/PngFile.h"
#include "picture/Readback.h"
#include "scenario/PoseScenario.h"
#include "session/Session.h"
#include "session/TraceWriter.h"
#include "window/ConsoleWindow.h"
#include "window/FreeCamera.h"
#include "window/ModuleWatcher.h"
#include "window/Script.h"

namespace sandbox {

namespace {

constexpr Uint32 kFrameMilliseconds = 16;
constexpr float kCameraSpeed = 1500.0f; // world units per second
constexpr float kBallSpeed = 1200.0f;
constexpr float kFastFactor = 4.0f;
constexpr int kTurnPerPixel = 40; // host angle units

// SDL's video subsystem, for as long as the window lives.
class SdlVideo {
public:
    SdlVideo() {
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            throw std::runtime_error(std::string("cannot start SDL video: ") + SDL_GetError());
        }
        // Without a display SDL falls back to drivers that show nothing; a
        // window nobody can see would run until killed. Asked for by name
        // (SDL_VIDEODRIVER) they are fine.
        const std::string driver = SDL_GetCurrentVideoDriver();
        if ((driver == "offscreen" || driver == "dummy") &&
            SDL_getenv("SDL_VIDEODRIVER") == nullptr) {
            SDL_Quit();
            throw std::runtime_error("no display to open a window on (DISPLAY and WAYLAND_DISPLAY "
                                     "are not set); use render, or run under xvfb-run");
        }
    }
    ~SdlVideo() { SDL_Quit(); }
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;
};

class Window {
public:
    explicit Window(Vector2 size) {
        size = FitOnScreen(size);
        window_ = SDL_CreateWindow("Quellmark sandbox", SDL_WINDOWPOS_CENTERED,
                                   SDL_WINDOWPOS_CENTERED, size.X, size.Y, SDL_WINDOW_RESIZABLE);
        if (window_ == nullptr) {
            throw std::runtime_error(std::string("cannot open a window: ") + SDL_GetError());
        }
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
        if (renderer_ == nullptr) {
            renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
        }
        if (renderer_ == nullptr) {
            const std::string error = SDL_GetError();
            SDL_DestroyWindow(window_);
            throw std::runtime_error("cannot draw in the window: " + error);
        }
        SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_BLEND);
    }
    ~Window() {
        SDL_DestroyRenderer(renderer_);
        SDL_DestroyWindow(window_);
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    SDL_Window* Get() const { return window_; }
    SDL_Renderer* Renderer() const { return renderer_; }
    Vector2 Size() const {
        Vector2 size;
        SDL_GetWindowSize(window_, &size.X, &size.Y);
        return size;
    }

private:
    // The scenario's canvas, scaled down to fit the screen with its shape
    // kept: a window larger than the screen shows neither its edges nor the
    // console at its bottom.
    static Vector2 FitOnScreen(Vector2 size) {
        SDL_Rect screen;
        if (SDL_GetDisplayUsableBounds(0, &screen) != 0 || screen.w <= 0 || screen.h <= 0) {
            return size;
        }
        const double scale = std::min({1.0, double(screen.w) / size.X, double(screen.h) / size.Y});
        return {std::max(1, int(size.X * scale)), std::max(1, int(size.Y * scale))};
    }

    SDL_Window* window_;
    SDL_Renderer* renderer_ = nullptr;
};

// Dear ImGui's SDL platform layer, bound to the window for its lifetime.
class ImGuiPlatform {
public:
    explicit ImGuiPlatform(SDL_Window* window) { ImGui_ImplSDL2_InitForSDLRenderer(window); }
    ~ImGuiPlatform() { ImGui_ImplSDL2_Shutdown(); }
    ImGuiPlatform(const ImGuiPlatform&) = delete;
    ImGuiPlatform& operator=(const ImGuiPlatform&) = delete;
};

// A scripted click in progress: the pointer moves there, presses on the next
// frame and releases on the one after, as a hand would.
struct ScriptedClick {
    ImVec2 at;
    int startFrame = 0;
};

// The game as the window shows it: the scenario's motion while playing; the
// user's camera and ball once they take over.
struct Scene {
    bool playing = true;
    int scenarioFrame = 1;
    std::optional<sim::Actor> camera;
    std::optional<sim::Actor> ball;
};

void PushKey(SDL_Keycode key, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.sym = key;
    event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    SDL_PushEvent(&event);
}

// Text as the keyboard types it, in the pieces an SDL text event holds.
void PushText(const std::string& text) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    constexpr std::size_t kPiece = sizeof event.text.text - 1;
    for (std::size_t at = 0; at < text.size(); at += kPiece) {
        const std::string piece = text.substr(at, kPiece);
        std::fill(std::begin(event.text.text), std::end(event.text.text), '\0');
        std::copy(piece.begin(), piece.end(), event.text.text);
        SDL_PushEvent(&event);
    }
}

// A key the script holds down, until the frame it is let go.
struct HeldKey {
    SDL_Keycode key;
    int releaseFrame;
};

// The status line. The frame is the window's, as the script counts it; the
// scenario's own frame is added once pausing has set them apart. Last comes
// what became of the last module request (a reload after a rebuild).
std::string Caption(const Scene& scene, Session& session, int frame) {
    std::string caption = "W/A/S/D/R/F camera, right-drag turn, arrows PgUp/PgDn ball, "
                          "P play/pause, Esc quit    ";
    caption += scene.playing ? "playing" : "paused";
    caption += "  frame " + std::to_string(frame);
    if (const int played = scene.scenarioFrame - 1; played != frame) {
        caption += " (scenario frame " + std::to_string(played) + ")";
    }
    caption = CaptionWithVariables(caption, session.Host().console);
    if (!session.ModuleStatus().empty()) {
        caption += "    " + session.ModuleStatus();
    }
    return caption;
}

// The console's `savescenario PATH`: the pose on screen (the last frame drawn)
// written as a scenario file that replays it.
void AddSaveScenarioCommand(sim::Host& host) {
    host.console.AddCommand("savescenario", [&host](const std::vector<std::string>& arguments) {
        if (arguments.size() != 1) {
            host.console.output.push_back("usage: savescenario PATH");
            return;
        }
        try {
            files::WriteFile(PathFromText(arguments[0]), PoseScenarioText(host),
                             {"scenario", false});
            host.console.output.push_back("scenario saved to " + arguments[0]);
        } catch (const std::exception& error) {
            host.console.output.push_back("savescenario: " + std::string(error.what()));
        }
    });
}

// One run of the window, frame after frame. Each frame takes five steps in
// order: the script's actions due, a rebuilt module asked to be reloaded,
// the user's input, the scene moved and handed to the host, and the picture
// drawn from it.
class WindowRun {
public:
    WindowRun(Session& session, Window& window, TraceWriter& trace,
              std::vector<ScriptAction> script, std::FILE* info)
        : session_(session), host_(session.Host()), window_(window), trace_(trace),
          script_(std::move(script)), info_(info), renderer_(window.Renderer()) {}

    // Runs until the window is closed, or `frameLimit` frames; returns how
    // many frames ran.
    int Run(std::optional<int> frameLimit) {
        Uint32 last = SDL_GetTicks();
        while (running_) {
            ++frame_;
            RunScript();
            WatchModule();
            TakeInput();
            const Uint32 now = SDL_GetTicks();
            MoveScene(std::min(0.1f, float(now - last) / 1000.0f));
            last = now;
            Draw();
            if (frameLimit && frame_ >= *frameLimit) {
                running_ = false;
            }
            const Uint32 spent = SDL_GetTicks() - now;
            if (running_ && spent < kFrameMilliseconds) {
                SDL_Delay(kFrameMilliseconds - spent);
            }
        }
        return frame_;
    }

private:
    // The script's clicks, keys and console lines due this frame; its
    // screenshots wait for the frame to be drawn.
    void RunScript() {
        std::erase_if(scriptHeld_, [this](const HeldKey& held) {
            if (held.releaseFrame != frame_) {
                return false;
            }
            PushKey(held.key, false);
            return true;
        });
        for (const ScriptAction& action : script_) {
            if (action.frame != frame_) {
                continue;
            }
            switch (action.kind) {
            case ScriptAction::Kind::ClickAt:
                clicks_.push_back({ImVec2(action.x, action.y), frame_});
                break;
            case ScriptAction::Kind::ClickPanel:
                if (panel_.drawn) {
                    clicks_.push_back({ImVec2((panel_.min.x + panel_.max.x) * 0.5f,
                                              (panel_.min.y + panel_.max.y) * 0.5f),
                                       frame_});
                } else {
                    std::fprintf(stderr, "warning: frame %d: the panel drew no widget to click\n",
                                 frame_);
                }
                break;
            case ScriptAction::Kind::ClickConsole:
                if (const std::optional<ImVec2> line = console_.InputLineCentre()) {
                    clicks_.push_back({*line, frame_});
                }
                break;
            case ScriptAction::Kind::Key:
                PushKey(action.keyCode, true);
                PushKey(action.keyCode, false);
                break;
            case ScriptAction::Kind::Hold:
                PushKey(action.keyCode, true);
                scriptHeld_.push_back({action.keyCode, frame_ + action.frames});
                break;
            case ScriptAction::Kind::Console:
                console_.Type(host_.console, action.text);
                break;
            case ScriptAction::Kind::Type:
                PushText(action.text);
                break;
            case ScriptAction::Kind::Screenshot:
                break;
            }
        }
    }

    // A rebuild of the module's file is reloaded at this frame's start; the
    // watch follows the module a `plugin load` put in its place.
    void WatchModule() {
        if (!watcher_ || watcher_->Path() != session_.ModulePath()) {
            watcher_.emplace(session_.ModulePath());
        }
        if (watcher_->Changed()) {
            session_.RequestReload("the module file changed");
        }
    }

    // SDL's events, the script's among them: quitting, keys held, turning the
    // camera and changing its field of view. Dear ImGui sees every event and
    // keeps the ones meant for its windows.
    void TakeInput() {
        const ImGuiIO& io = ImGui::GetIO();
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            ImGui_ImplSDL2_ProcessEvent(&event);
            switch (event.type) {
            case SDL_QUIT:
                running_ = false;
                break;
            case SDL_KEYDOWN:
                if (event.key.keysym.sym == SDLK_ESCAPE) {
                    // While typing, Escape is Dear ImGui's: it leaves the line.
                    if (!typing_) {
                        running_ = false;
                    }
                } else if (!typing_ && !io.WantCaptureKeyboard) {
                    if (event.key.keysym.sym == SDLK_p && event.key.repeat == 0) {
                        scene_.playing = !scene_.playing;
                    }
                    held_.insert(event.key.keysym.sym);
                }
                break;
            case SDL_KEYUP:
                held_.erase(event.key.keysym.sym);
                break;
            case SDL_MOUSEMOTION:
                if ((event.motion.state & SDL_BUTTON_RMASK) != 0 && !io.WantCaptureMouse &&
                    scene_.camera) {
                    Turn(*scene_.camera, event.motion.xrel * kTurnPerPixel,
                         -event.motion.yrel * kTurnPerPixel);
                    scene_.playing = false;
                }
                break;
            case SDL_MOUSEWHEEL:
                if (!io.WantCaptureMouse && scene_.camera) {
                    scene_.camera->fov =
                        std::clamp(scene_.camera->fov - 5.0f * float(event.wheel.y), 10.0f, 170.0f);
                    scene_.playing = false;
                }
                break;
            default:
                break;
            }
        }
    }

    // The scenario's next frame while playing, then the moves of the keys held
    // over `seconds`; the result is the game the host holds for this frame.
    void MoveScene(float seconds) {
        const Scenario& played = session_.GetScenario();
        if (scene_.playing) {
            const FrameState state = StateAt(played, scene_.scenarioFrame++);
            scene_.camera = state.camera;
            scene_.ball = state.ball;
        }
        const float fast =
            held_.count(SDLK_LSHIFT) || held_.count(SDLK_RSHIFT) ? kFastFactor : 1.0f;
        auto axis = [&](SDL_Keycode plus, SDL_Keycode minus) {
            return float(held_.count(plus)) - float(held_.count(minus));
        };
        const Vector cameraStep =
            Vector{axis(SDLK_w, SDLK_s), axis(SDLK_d, SDLK_a), axis(SDLK_r, SDLK_f)} *
            (kCameraSpeed * fast * seconds);
        const Vector ballStep = Vector{axis(SDLK_UP, SDLK_DOWN), axis(SDLK_RIGHT, SDLK_LEFT),
                                       axis(SDLK_PAGEUP, SDLK_PAGEDOWN)} *
                                (kBallSpeed * fast * seconds);
        if (scene_.camera && !(cameraStep == Vector{})) {
            MoveInView(*scene_.camera, cameraStep);
            scene_.playing = false;
        }
        if (scene_.ball && scene_.camera && !(ballStep == Vector{})) {
            MoveBall(*scene_.ball, *scene_.camera, ballStep);
            scene_.playing = false;
        }

        host_.mode = played.mode;
        host_.serverPresent = played.serverPresent;
        host_.canvasSize = window_.Size();
        host_.camera = scene_.camera;
        host_.ball = scene_.ball;
    }

    // The plugin's frame, then the UI around it (scripted clicks pressed at
    // their frames), the picture presented and the screenshots due written.
    void Draw() {
        session_.RunGameFrame();

        ImGui_ImplSDL2_NewFrame();
        for (const ScriptedClick& click : clicks_) {
            const int phase = frame_ - click.startFrame;
            if (phase >= 0 && phase <= 2) {
                ImGui::GetIO().MousePos = click.at;
                ImGui::GetIO().MouseDown[0] = phase == 1;
            }
        }
        ImGui::NewFrame();
        panel_ = session_.DrawUi(Caption(scene_, session_, frame_));
        typing_ =
            console_.Draw(host_.console, float(host_.canvasSize.X), float(host_.canvasSize.Y));
        ImGui::Render();
        trace_.Section("frame " + std::to_string(frame_), host_.log);

        SDL_SetRenderDrawColor(window_.Renderer(), 20, 24, 32, 255);
        SDL_RenderClear(window_.Renderer());
        renderer_.Render(ImGui::GetDrawData());
        for (const ScriptAction& action : script_) {
            if (action.frame == frame_ && action.kind == ScriptAction::Kind::Screenshot) {
                WritePng(action.text, ReadPixels(window_.Renderer()), "screenshot");
                // Not in the console: a script's screenshots would bury what it says.
                std::fprintf(info_, "wrote screenshot %s\n", action.text.c_str());
            }
        }
        SDL_RenderPresent(window_.Renderer());
        session_.FlushConsole(stderr);
    }

    Session& session_;
    sim::Host& host_;
    Window& window_;
    TraceWriter& trace_;
    const std::vector<ScriptAction> script_;
    std::vector<HeldKey> scriptHeld_;
    std::FILE* info_;
    DrawDataRenderer renderer_;
    ConsoleWindow console_;
    std::optional<ModuleWatcher> watcher_;
    Scene scene_;
    std::set<SDL_Keycode> held_;
    std::vector<ScriptedClick> clicks_;
    PanelWidget panel_;
    bool typing_ = false; // the console's input line has the keyboard
    bool running_ = true;
    int frame_ = 0;
};

// A script is checked whole once the plugin has registered its variables:
// a console line naming nothing the console has is bad input, refused before
// any line runs (a later writeconfig would save what the typo left).
void CheckScriptConsoleLines(const std::vector<ScriptAction>& script, const sim::Console& console) {
    for (const ScriptAction& action : script) {
        if (action.kind != ScriptAction::Kind::Console) {
            continue;
        }
        if (const std::string unknown = console.FirstUnknown(action.text); !unknown.empty()) {
            throw InputError("--script: frame " + std::to_string(action.frame) + ": console \"" +
                             action.text + "\": unknown command or variable '" + unknown + "'");
        }
    }
}

} // namespace

int RunWindow(const WindowOptions& options) {
    std::FILE* info = options.session.LogOnStdout() ? stderr : stdout;
    TraceWriter trace(stdout, options.session.LogOnStdout());
    // The scenario's frame count is for render; here --frames alone ends the run.
    const std::optional<int> frameLimit = options.frames;
    std::vector<ScriptAction> script = ParseScript(options.script.value_or(""));
    if (frameLimit) {
        RefuseItemsAfter(script, *frameLimit);
    }

    // No display, no point loading anything.
    SdlVideo video;
    Scenario scenario = ChooseScenario(options.session);
    const Vector2 initialSize = scenario.canvas;
    Session session(std::move(scenario), options.session, trace, stderr);
    AddSaveScenarioCommand(session.Host());
    CheckScriptConsoleLines(script, session.Host().console);
    std::fprintf(info, "%s\n", session.Description().c_str());
    session.FlushConsole(stderr);

    Window window(initialSize);
    ImGuiPlatform platform(window.Get());
    const int frames = WindowRun(session, window, trace, std::move(script), info).Run(frameLimit);
    session.Close(trace);
    std::fprintf(info, "window closed after %d frames\n", frames);
    return EndedRunStatus(session, stderr);
}

} // namespace sandbox
