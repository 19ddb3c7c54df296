#include "picture/DrawDataRenderer.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include <SDL.h>
#include <imgui.h>

namespace sandbox {

DrawDataRenderer::DrawDataRenderer(SDL_Renderer* renderer)
    : renderer_(renderer), fontTexture_(nullptr) {
    ImGuiIO& io = ImGui::GetIO();
    unsigned char* pixels = nullptr;
    int width = 0;
    int height = 0;
    io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    // ABGR8888 names a packed 32-bit value; on little-endian machines its bytes
    // are R, G, B, A: the atlas's order.
    fontTexture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC,
                                     width, height);
    if (fontTexture_ == nullptr) {
        throw std::runtime_error(std::string("cannot create the font texture: ") + SDL_GetError());
    }
    SDL_UpdateTexture(fontTexture_, nullptr, pixels, width * 4);
    SDL_SetTextureBlendMode(fontTexture_, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(fontTexture_, SDL_ScaleModeLinear);
    io.Fonts->SetTexID(static_cast<ImTextureID>(fontTexture_));
}

DrawDataRenderer::~DrawDataRenderer() {
    ImGui::GetIO().Fonts->SetTexID(nullptr);
    SDL_DestroyTexture(fontTexture_);
}

void DrawDataRenderer::Render(const ImDrawData* data) {
    if (data == nullptr || !data->Valid) {
        return;
    }
    int outputWidth = 0;
    int outputHeight = 0;
    SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
    // Positions are in display units; a high-density window has more pixels.
    const ImVec2 scale = data->FramebufferScale;
    SDL_RenderSetScale(renderer_, scale.x, scale.y);
    SDL_RenderSetViewport(renderer_, nullptr);

    const ImVec2 origin = data->DisplayPos;
    for (int n = 0; n < data->CmdListsCount; ++n) {
        const ImDrawList* list = data->CmdLists[n];
        const ImDrawVert* vertices = list->VtxBuffer.Data;
        const ImDrawIdx* indices = list->IdxBuffer.Data;
        for (const ImDrawCmd& command : list->CmdBuffer) {
            if (command.UserCallback != nullptr) {
                if (command.UserCallback != ImDrawCallback_ResetRenderState) {
                    command.UserCallback(list, &command);
                }
                continue;
            }
            const float left = std::max((command.ClipRect.x - origin.x) * scale.x, 0.0f);
            const float top = std::max((command.ClipRect.y - origin.y) * scale.y, 0.0f);
            const float right =
                std::min((command.ClipRect.z - origin.x) * scale.x, float(outputWidth));
            const float bottom =
                std::min((command.ClipRect.w - origin.y) * scale.y, float(outputHeight));
            if (right <= left || bottom <= top) {
                continue;
            }
            // The clip rectangle is in output pixels, unscaled.
            const SDL_Rect clip{int(left / scale.x), int(top / scale.y),
                                int((right - left) / scale.x), int((bottom - top) / scale.y)};
            SDL_RenderSetClipRect(renderer_, &clip);

            const ImDrawVert* first = vertices + command.VtxOffset;
            constexpr int stride = sizeof(ImDrawVert);
            SDL_RenderGeometryRaw(
                renderer_, static_cast<SDL_Texture*>(command.GetTexID()), &first->pos.x, stride,
                reinterpret_cast<const SDL_Color*>(&first->col), stride, &first->uv.x, stride,
                list->VtxBuffer.Size - static_cast<int>(command.VtxOffset),
                indices + command.IdxOffset, static_cast<int>(command.ElemCount),
                sizeof(ImDrawIdx));
        }
    }
    SDL_RenderSetClipRect(renderer_, nullptr);
    SDL_RenderSetScale(renderer_, 1.0f, 1.0f);
}

} // namespace sandbox
