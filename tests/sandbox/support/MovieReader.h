#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace sandboxtest {

// A video or animation decoded back by the format's own reference reader
// (FFmpeg for MP4, libwebp's demuxer for WebP), independent of the code that
// wrote it.
struct Movie {
    std::string error; // empty when the file was read to its end
    std::string codec; // FFmpeg's name of the video codec ("h264"); "webp"
    int frames = 0;    // frames decoded
    int width = 0;
    int height = 0;
    double framesPerSecond = 0.0;        // MP4 only
    std::vector<unsigned char> firstRgb; // the first frame, 8-bit RGB
    std::vector<unsigned char> lastRgb;  // the last frame, 8-bit RGB
    // WebP only, one each per frame decoded: when it ends, in milliseconds
    // from the start, and RgbHash of its pixels.
    std::vector<int> frameEnds;
    std::vector<std::uint64_t> frameHashes;
    // WebP only: the header's flag that frames may be transparent (players
    // may skip blending without it), and whether a frame is.
    bool alphaFlag = false;
    bool transparentFrames = false;
};

// A hash of a picture's 8-bit RGB, to compare many frames without keeping them.
std::uint64_t RgbHash(const std::vector<unsigned char>& rgb);

Movie ReadMp4(const std::filesystem::path& path);
Movie ReadAnimatedWebp(const std::filesystem::path& path);

} // namespace sandboxtest
