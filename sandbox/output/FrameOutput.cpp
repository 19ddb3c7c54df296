#include "output/FrameOutput.h"

#include <stdexcept>

#ifdef QUELLMARK_MP4_OUTPUT
#include "output/Mp4Video.h"
#endif
#ifdef QUELLMARK_WEBP_OUTPUT
#include "output/WebpAnimation.h"
#endif

namespace sandbox {

// The sizes go unused in a build with neither encoder.
std::unique_ptr<FrameOutput> OpenOutput(const OutputPlan& plan, [[maybe_unused]] int width,
                                        [[maybe_unused]] int height,
                                        [[maybe_unused]] int framesPerSecond) {
    switch (plan.format) {
    case OutputFormat::Mp4:
#ifdef QUELLMARK_MP4_OUTPUT
        return std::make_unique<Mp4Video>(plan.path, width, height, framesPerSecond);
#else
        throw std::logic_error("PlanOutput refuses MP4 in a build without its encoder");
#endif
    case OutputFormat::Webp:
#ifdef QUELLMARK_WEBP_OUTPUT
        return std::make_unique<WebpAnimation>(plan.path, width, height, framesPerSecond);
#else
        throw std::logic_error("PlanOutput refuses WebP in a build without its encoder");
#endif
    case OutputFormat::Png:
        break;
    }
    throw std::logic_error("PNG frames go through PngOutput");
}

} // namespace sandbox
