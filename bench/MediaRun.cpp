#include "MediaRun.h"

#include <memory>

#include "output/FrameOutput.h"
#include "output/OutputPlan.h"
#include "output/PngOutput.h"
#include "session/Session.h"
#include "session/TraceWriter.h"

namespace {

sandbox::SessionOptions Options(const std::string& modulePath) {
    sandbox::SessionOptions options;
    options.modulePath = modulePath;
    options.configPath = ""; // no config: the user's own must not change the picture
    return options;
}

std::uintmax_t SizeOnDisk(const std::filesystem::path& path) {
    if (!std::filesystem::is_directory(path)) {
        return std::filesystem::file_size(path);
    }
    std::uintmax_t total = 0;
    for (const auto& entry : std::filesystem::directory_iterator(path)) {
        total += entry.file_size();
    }
    return total;
}

// Keeps the first frame it is given.
class FirstFrameOutput : public sandbox::FrameOutput {
public:
    void Add(const sandbox::Image& frame) override {
        if (image.rgba.empty()) {
            image = frame;
        }
    }
    void Finish() override {}
    sandbox::Image image;
};

} // namespace

MediaRun RenderDefault(const std::string& modulePath, const std::filesystem::path& out,
                       int frames) {
    const sandbox::SessionOptions options = Options(modulePath);
    sandbox::TraceWriter trace(nullptr, false);
    sandbox::Scenario scenario = sandbox::ChooseScenario(options, frames);
    const sandbox::OutputPlan plan = sandbox::PlanOutput(out.string(), scenario.frames);
    std::unique_ptr<sandbox::FrameOutput> output;
    if (plan.format == sandbox::OutputFormat::Png) {
        output = std::make_unique<sandbox::PngOutput>(plan, scenario.frames, false, stderr);
    }
    sandbox::Session session(std::move(scenario), options, trace, stderr);
    const sandbox::Scenario& played = session.GetScenario();
    if (!output) {
        const Vector2 picture = sandbox::PictureSize(played.canvas);
        output = sandbox::OpenOutput(plan, picture.X, picture.Y, sandbox::kRenderFramesPerSecond);
    }
    MediaRun run;
    run.frames = played.frames;
    run.times = sandbox::RenderFrames(session, trace, *output, [](int) {});
    session.Close(trace);
    run.bytes = SizeOnDisk(out);
    return run;
}

sandbox::Image FirstFrame(const std::string& modulePath) {
    const sandbox::SessionOptions options = Options(modulePath);
    sandbox::TraceWriter trace(nullptr, false);
    sandbox::Session session(sandbox::ChooseScenario(options, 1), options, trace, stderr);
    FirstFrameOutput output;
    sandbox::RenderFrames(session, trace, output, [](int) {});
    return output.image;
}
