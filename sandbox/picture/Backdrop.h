#pragma once

struct ImDrawList;

namespace sim {
class Host;
}

namespace sandbox {

// The host's own picture of the game, seen through the frame's camera with the
// same projection the canvas uses: the field's outline and halfway line, the
// two goal frames and the ball. Draws a note instead when there is no camera.
void DrawBackdrop(const sim::Host& host, ImDrawList& list);

} // namespace sandbox
