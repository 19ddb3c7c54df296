#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "files/OutputFile.h"
#include "output/FrameOutput.h"

namespace sandbox {

// An animated WebP: every frame encoded losslessly by libwebp, so the
// animation shows exactly the pixels of the PNG frames, at the render's
// frame rate (durations in milliseconds, 17, 16, 17, ... at 60 per second).
//
// The file's header holds its total size, which is known only at the end.
// The frames wait in an unnamed temporary file until then, so memory stays
// at one frame however long the animation.
class WebpAnimation : public FrameOutput {
public:
    // Throws std::runtime_error for a size WebP cannot hold (over 16383) or
    // when the temporary file cannot be made.
    WebpAnimation(const std::filesystem::path& path, int width, int height, int framesPerSecond);

    void Add(const Image& frame) override;
    void Finish() override;

    // How long frame `index` (from 0) shows, in milliseconds: the durations
    // add up to the frames' exact times, rounded.
    static int FrameMilliseconds(int index, int framesPerSecond);

private:
    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    [[noreturn]] void Fail(const std::string& problem) const;

    files::OutputFile file_;
    int width_;
    int height_;
    int framesPerSecond_;
    int added_ = 0;
    std::unique_ptr<std::FILE, CloseFile> frames_;
    std::uint64_t framesSize_ = 0;
};

} // namespace sandbox
