#pragma once

#include "sdk/HostHandle.h"
#include "sdk/Vector.h"

// The 2D overlay canvas of one frame. Valid only during the drawable call it
// was handed to: neither it nor a copy may be kept past that call's return. A
// drawable may hand copies to helpers, each destroyed when the helper returns.
class PLUGINSDK_API CanvasWrapper : public HostHandle {
public:
    explicit CanvasWrapper(sim::Host* host);

    // In pixels.
    Vector2 GetSize() const;
    // Colour of later draws, 8 bits a channel.
    void SetColor(unsigned char red, unsigned char green, unsigned char blue, unsigned char alpha);
    // Perspective projection of a world point through the frame's camera onto
    // the canvas. A point in the camera's view lands on the canvas; points
    // level with or behind the camera have no image and must not be handed here.
    Vector2F ProjectF(Vector location) const;
    // A line of one pixel in the current colour.
    void DrawLine(Vector2F start, Vector2F end);
    // A line of `width` pixels in the current colour.
    void DrawLine(Vector2F start, Vector2F end, float width);
};
