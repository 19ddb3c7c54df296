#pragma once

#include <string>

struct ImDrawList;

namespace sim {
class Host;
}

namespace sandbox {

// One frame's game picture: the host's backdrop, then every line the plugin
// drew on its canvas this frame, in its colour and alpha and at its width (1
// for the two-point form), then `caption` in the bottom-left corner.
void DrawCanvasLayer(const sim::Host& host, ImDrawList& list, const std::string& caption);

} // namespace sandbox
