#pragma once

#include "sdk/Vector.h"

struct SDL_Renderer;
struct SDL_Window;

namespace sandbox {

// SDL's video subsystem, for as long as the window lives. Throws
// std::runtime_error when there is no display to show a window on.
class SdlVideo {
public:
    SdlVideo();
    ~SdlVideo();
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;
};

// The host's window and the renderer drawing into it, a GPU one where SDL has
// one, else the software renderer.
class Window {
public:
    // Opens at `size`, scaled down with its shape kept when that is larger
    // than the screen. Throws std::runtime_error when SDL cannot.
    explicit Window(Vector2 size);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    SDL_Window* Get() const { return window_; }
    SDL_Renderer* Renderer() const { return renderer_; }
    Vector2 Size() const;

private:
    SDL_Window* window_;
    SDL_Renderer* renderer_ = nullptr;
};

// Dear ImGui's SDL platform layer (input, display size, time), bound to the
// window for its lifetime.
class ImGuiPlatform {
public:
    explicit ImGuiPlatform(SDL_Window* window);
    ~ImGuiPlatform();
    ImGuiPlatform(const ImGuiPlatform&) = delete;
    ImGuiPlatform& operator=(const ImGuiPlatform&) = delete;
};

} // namespace sandbox
