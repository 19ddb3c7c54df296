#include "FrameOutput.h"

#include "Mp4Video.h"
#include "PngFrames.h"
#include "WebpAnimation.h"

namespace sandbox {

std::unique_ptr<FrameOutput> OpenOutput(const OutputPlan& plan, int width, int height,
                                        int framesPerSecond) {
    switch (plan.format) {
    case OutputFormat::Png:
        return std::make_unique<PngFrames>(plan.path, false);
    case OutputFormat::PngFolder:
        return std::make_unique<PngFrames>(plan.path, true);
    case OutputFormat::Mp4:
        return std::make_unique<Mp4Video>(plan.path, width, height, framesPerSecond);
    case OutputFormat::Webp:
        return std::make_unique<WebpAnimation>(plan.path, width, height, framesPerSecond);
    }
    return nullptr;
}

} // namespace sandbox
