#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "overlay/LineSegment.h"
#include "sdk/Rotator.h"
#include "sdk/Vector.h"

// One clipping case read from fuzzer bytes: a camera pose, a field of view, a
// canvas size and a segment. Floats are taken bit for bit, so every pattern
// (not-a-number, infinities, denormals, the largest values) can occur; missing
// bytes read as zero.
struct ClipInput {
    Vector cameraLocation;
    Rotator cameraRotation;
    float fov = 0.0f;
    Vector2 canvas;
    LineSegment segment;

    // Bytes: camera location (3 floats), rotation (3 ints), field of view
    // (float), canvas width and height (2 x 16 bits, taken modulo 16385),
    // segment start and end (3 floats each), then one byte choosing the
    // thickness: 1.0 (the two-argument DrawLine) when odd, 3.0 otherwise.
    static ClipInput Read(const std::uint8_t* data, std::size_t size);
    // The bytes Read takes back to this input.
    std::string Bytes() const;
    std::string Describe() const;
};
