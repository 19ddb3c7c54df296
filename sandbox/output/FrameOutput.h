#pragma once

#include <memory>

#include "output/OutputPlan.h"
#include "picture/Image.h"

namespace sandbox {

// Where a render's frames go, one format each (PNG files, MP4, animated
// WebP). Frames arrive in order, all of the output's size, possibly on a
// thread other than the one that opened it, never on two at once.
class FrameOutput {
public:
    virtual ~FrameOutput() = default;

    // Throws std::runtime_error naming the file when encoding or writing fails.
    virtual void Add(const Image& frame) = 0;
    // Completes the file. An output destroyed without Finish leaves no
    // partial file behind and replaces nothing.
    virtual void Finish() = 0;
};

// The video or animation `plan` names (MP4 or WebP; PNGs go to a
// PngOutput, opened before anything is loaded) for frames of `width` x `height` shown at
// `framesPerSecond`. Throws std::runtime_error when it cannot be set up.
std::unique_ptr<FrameOutput> OpenOutput(const OutputPlan& plan, int width, int height,
                                        int framesPerSecond);

} // namespace sandbox
