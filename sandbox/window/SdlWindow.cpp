#include "window/SdlWindow.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include <SDL.h>
#include <backends/imgui_impl_sdl.h>

namespace sandbox {

namespace {

// The scenario's canvas, scaled down to fit the screen with its shape kept: a
// window larger than the screen shows neither its edges nor the console at
// its bottom.
Vector2 FitOnScreen(Vector2 size) {
    SDL_Rect screen;
    if (SDL_GetDisplayUsableBounds(0, &screen) != 0 || screen.w <= 0 || screen.h <= 0) {
        return size;
    }
    const double scale = std::min({1.0, double(screen.w) / size.X, double(screen.h) / size.Y});
    return {std::max(1, int(size.X * scale)), std::max(1, int(size.Y * scale))};
}

} // namespace

SdlVideo::SdlVideo() {
    // Interruptions are the program's to handle (it removes what a run leaves
    // half written); SDL's own handlers would turn them into a quit event.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        throw std::runtime_error(std::string("cannot start SDL video: ") + SDL_GetError());
    }
    // Without a display SDL falls back to drivers that show nothing; a window
    // nobody can see would run until killed. Asked for by name
    // (SDL_VIDEODRIVER) they are fine.
    const std::string driver = SDL_GetCurrentVideoDriver();
    if ((driver == "offscreen" || driver == "dummy") && SDL_getenv("SDL_VIDEODRIVER") == nullptr) {
        SDL_Quit();
        throw std::runtime_error("no display to open a window on (DISPLAY and WAYLAND_DISPLAY "
                                 "are not set); use render, or run under xvfb-run");
    }
}

SdlVideo::~SdlVideo() {
    SDL_Quit();
}

Window::Window(Vector2 size) {
    size = FitOnScreen(size);
    window_ = SDL_CreateWindow("Quellmark sandbox", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               size.X, size.Y, SDL_WINDOW_RESIZABLE);
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

Window::~Window() {
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
}

Vector2 Window::Size() const {
    Vector2 size;
    SDL_GetWindowSize(window_, &size.X, &size.Y);
    return size;
}

ImGuiPlatform::ImGuiPlatform(SDL_Window* window) {
    ImGui_ImplSDL2_InitForSDLRenderer(window);
}

ImGuiPlatform::~ImGuiPlatform() {
    ImGui_ImplSDL2_Shutdown();
}

} // namespace sandbox
