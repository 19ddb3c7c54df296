#pragma once

struct SDL_Renderer;
struct SDL_Surface;

namespace sandbox {

// A picture in memory with SDL's software renderer drawing into it: no
// display, no window, no GPU.
class OffscreenTarget {
public:
    // Throws std::runtime_error when SDL cannot make the surface or renderer.
    OffscreenTarget(int width, int height);
    ~OffscreenTarget();
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    SDL_Renderer* Renderer() const { return renderer_; }

private:
    SDL_Surface* surface_;
    SDL_Renderer* renderer_;
};

} // namespace sandbox
