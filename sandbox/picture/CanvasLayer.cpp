#include "picture/CanvasLayer.h"

#include <algorithm>

#include <imgui.h>

#include "picture/Backdrop.h"
#include "picture/ScreenClip.h"
#include "sim/Host.h"

namespace sandbox {

namespace {

// A width past this is a fault in the caller, not a line anyone can read.
constexpr float kWidestLine = 256.0f;

} // namespace

void DrawCanvasLayer(const sim::Host& host, ImDrawList& list, const std::string& caption) {
    DrawBackdrop(host, list);

    const ImVec2 min(-kWidestLine, -kWidestLine);
    const ImVec2 max(float(host.canvasSize.X) + kWidestLine,
                     float(host.canvasSize.Y) + kWidestLine);
    for (const sim::DrawnLine& line : host.lines) {
        ImVec2 a(line.start.X, line.start.Y);
        ImVec2 b(line.end.X, line.end.Y);
        if (!ClipToRect(a, b, min, max)) {
            continue;
        }
        const float width = std::clamp(line.widthGiven ? line.width : 1.0f, 0.0f, kWidestLine);
        list.AddLine(a, b, IM_COL32(line.color.r, line.color.g, line.color.b, line.color.a), width);
    }

    if (!caption.empty()) {
        const float lineHeight = ImGui::GetTextLineHeight();
        list.AddText(ImVec2(8.0f, float(host.canvasSize.Y) - lineHeight - 6.0f),
                     IM_COL32(150, 155, 165, 255), caption.c_str());
    }
}

} // namespace sandbox
