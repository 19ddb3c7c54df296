#include "FrameOutput.h"

#include <stdexcept>

#include "Mp4Video.h"
#include "WebpAnimation.h"

namespace sandbox {

std::unique_ptr<FrameOutput> OpenOutput(const OutputPlan& plan, int width, int height,
                                        int framesPerSecond) {
    switch (plan.format) {
    case OutputFormat::Mp4:
        return std::make_unique<Mp4Video>(plan.path, width, height, framesPerSecond);
    case OutputFormat::Webp:
        return std::make_unique<WebpAnimation>(plan.path, width, height, framesPerSecond);
    case OutputFormat::Png:
        break;
    }
    throw std::logic_error("PNG frames go through RenderOutput");
}

} // namespace sandbox
