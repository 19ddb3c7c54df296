#include "picture/OffscreenTarget.h"

#include <stdexcept>
#include <string>

#include <SDL.h>

namespace sandbox {

OffscreenTarget::OffscreenTarget(int width, int height)
    : surface_(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ABGR8888)),
      renderer_(nullptr) {
    if (surface_ == nullptr) {
        throw std::runtime_error("cannot make a " + std::to_string(width) + "x" +
                                 std::to_string(height) + " picture: " + SDL_GetError());
    }
    renderer_ = SDL_CreateSoftwareRenderer(surface_);
    if (renderer_ == nullptr) {
        const std::string error = SDL_GetError();
        SDL_FreeSurface(surface_);
        throw std::runtime_error("cannot start the software renderer: " + error);
    }
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_BLEND);
}

OffscreenTarget::~OffscreenTarget() {
    SDL_DestroyRenderer(renderer_);
    SDL_FreeSurface(surface_);
}

} // namespace sandbox
