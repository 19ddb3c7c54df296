#include "picture/Readback.h"

#include <stdexcept>
#include <string>

#include <SDL.h>

namespace sandbox {

Image ReadPixels(SDL_Renderer* renderer) {
    Image image;
    if (SDL_GetRendererOutputSize(renderer, &image.width, &image.height) != 0) {
        throw std::runtime_error(std::string("cannot read the frame: ") + SDL_GetError());
    }
    image.rgba.resize(static_cast<std::size_t>(image.width) * image.height * 4);
    // Rendering is batched; the pixels are there only once the batch has run.
    SDL_RenderFlush(renderer);
    if (SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ABGR8888, image.rgba.data(),
                             image.width * 4) != 0) {
        throw std::runtime_error(std::string("cannot read the frame: ") + SDL_GetError());
    }
    return image;
}

} // namespace sandbox
