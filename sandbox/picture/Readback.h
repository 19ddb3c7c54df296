#pragma once

#include "picture/Image.h"

struct SDL_Renderer;

namespace sandbox {

// What `renderer` has drawn so far, as RGBA. Call before presenting: a window
// may lose its back buffer's content on present. Throws std::runtime_error.
Image ReadPixels(SDL_Renderer* renderer);

} // namespace sandbox
