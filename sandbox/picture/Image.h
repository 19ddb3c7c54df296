#pragma once

#include <vector>

namespace sandbox {

// Pixels read back from a renderer: 8-bit red, green, blue, alpha, rows top
// to bottom without padding.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
};

} // namespace sandbox
