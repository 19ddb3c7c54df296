#pragma once

#include <imgui.h>

namespace sandbox {

// Cuts the segment a-b to the rectangle [min, max] (Liang-Barsky). Returns
// false when nothing of it is inside or an end is not finite. Keeps what the
// rasteriser is handed within a sane range of pixel coordinates.
bool ClipToRect(ImVec2& a, ImVec2& b, ImVec2 min, ImVec2 max);

} // namespace sandbox
