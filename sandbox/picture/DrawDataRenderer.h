#pragma once

struct ImDrawData;
struct SDL_Renderer;
struct SDL_Texture;

namespace sandbox {

// Stands in for Dear ImGui's SDL renderer backend (imgui_impl_sdlrenderer:
// its RenderDrawData and font texture), which Debian's Dear ImGui package
// ships as a header only: its library has no code for it (the source lies
// among the package's examples), and the Windows cross build's copy, built
// from the same sources, has none either.
//
// Draws Dear ImGui's draw lists with SDL_RenderGeometry, on any SDL renderer:
// the software one behind an offscreen surface and a window's alike. Owns the
// font atlas texture of the current ImGui context while it lives.
class DrawDataRenderer {
public:
    // Builds the current context's font atlas into a texture of `renderer`.
    // Throws std::runtime_error when SDL cannot make it.
    explicit DrawDataRenderer(SDL_Renderer* renderer);
    ~DrawDataRenderer();
    DrawDataRenderer(const DrawDataRenderer&) = delete;
    DrawDataRenderer& operator=(const DrawDataRenderer&) = delete;

    void Render(const ImDrawData* data);

private:
    SDL_Renderer* renderer_;
    SDL_Texture* fontTexture_;
};

} // namespace sandbox
