#pragma once

#include <filesystem>
#include <string>

#include "picture/Image.h"
#include "render/RenderFrames.h"

// What rendering the embedded default into one output gave.
struct MediaRun {
    int frames = 0;
    sandbox::RenderTimes times;
    std::uintmax_t bytes = 0; // the output's size on disk, all files together
};

// Renders `frames` frames of the embedded default scenario (1280x720) with
// the module at `modulePath` into `out`, whose extension picks the format,
// exactly as `quellmark-sandbox render --out OUT` does, without a config.
MediaRun RenderDefault(const std::string& modulePath, const std::filesystem::path& out, int frames);

// Frame 1 of the embedded default as render draws it.
sandbox::Image FirstFrame(const std::string& modulePath);
