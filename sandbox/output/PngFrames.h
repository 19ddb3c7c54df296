#pragma once

#include <filesystem>

#include "FrameOutput.h"

namespace sandbox {

// Frames as PNG files: one file, or a folder of frame-0001.png, ... Each file
// is written as soon as its frame is encoded.
class PngFrames : public FrameOutput {
public:
    // A folder is created when missing.
    PngFrames(std::filesystem::path path, bool folder);

    void Add(const Image& frame) override;
    void Finish() override {}

    // frame-0001.png for frame 1.
    static std::filesystem::path FrameFileName(int frame);

private:
    std::filesystem::path path_;
    bool folder_;
    int added_ = 0;
};

} // namespace sandbox
