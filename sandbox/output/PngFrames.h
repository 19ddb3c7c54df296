#pragma once

#include "FrameOutput.h"
#include "RenderOutput.h"

namespace sandbox {

// render's PNG output (one file, standard output, or a folder of frames) as
// a FrameOutput, so PNGs are encoded on the encoder thread like the rest.
class PngFrames : public FrameOutput {
public:
    // `output` must outlive this; its Finish is the caller's.
    explicit PngFrames(RenderOutput& output) : output_(output) {}

    void Add(const Image& frame) override { output_.Write(++added_, frame); }
    void Finish() override {}

private:
    RenderOutput& output_;
    int added_ = 0;
};

} // namespace sandbox
