#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace sandboxtest {

// A PNG read back as 8-bit RGB.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    // Pixels of the overlay's colours as they come out blended over the
    // backdrop: strongly red (or green) with little of the other two. The
    // backdrop's own colours (grey, orange, blue) never pass.
    int RedPixels() const;
    int GreenPixels() const;
};

// Empty (0x0) when the bytes are not a PNG.
Picture DecodePicture(const std::string& png);

// Empty (0x0) when the file is missing or not a PNG.
Picture LoadPicture(const std::filesystem::path& path);

} // namespace sandboxtest
