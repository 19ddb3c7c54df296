#include "output/OutputPlan.h"

#include <algorithm>
#include <cctype>

#include "base/InputError.h"
#include "base/ProgramPath.h"

namespace sandbox {

namespace {

namespace fs = std::filesystem;

std::string LowerCaseExtension(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension;
}

InputError OutError(const fs::path& path, const std::string& problem) {
    return InputError("--out " + path.string() + ": " + problem);
}

// A build without FFmpeg or libwebp (the Windows cross build) cannot write the
// format: it is bad input there, said before anything is drawn.
#ifdef QUELLMARK_MP4_OUTPUT
constexpr bool kMp4Encoder = true;
#else
constexpr bool kMp4Encoder = false;
#endif
#ifdef QUELLMARK_WEBP_OUTPUT
constexpr bool kWebpEncoder = true;
#else
constexpr bool kWebpEncoder = false;
#endif

} // namespace

OutputPlan PlanOutput(const std::optional<std::string>& out, int frames) {
    OutputPlan plan;
    plan.path = PathFromText(out.value_or(frames > 1 ? "quellmark-frames" : "quellmark.png"));
    std::error_code error;
    const std::string extension = LowerCaseExtension(plan.path);
    if (plan.path == "-" || extension.empty() || extension == ".png" ||
        fs::is_directory(plan.path, error)) {
        plan.format = OutputFormat::Png;
        return plan;
    }
    if (extension == ".mp4") {
        if (!kMp4Encoder) {
            throw OutError(plan.path, "this build of quellmark-sandbox has no MP4 encoder "
                                      "(built without FFmpeg)");
        }
        plan.format = OutputFormat::Mp4;
    } else if (extension == ".webp") {
        if (!kWebpEncoder) {
            throw OutError(plan.path, "this build of quellmark-sandbox has no WebP encoder "
                                      "(built without libwebp)");
        }
        plan.format = OutputFormat::Webp;
    } else if (const fs::file_type type = fs::status(plan.path, error).type();
               type == fs::file_type::fifo || type == fs::file_type::character) {
        // A pipe or a device named as it happens to be: the PNG goes into it.
        plan.format = OutputFormat::Png;
        return plan;
    } else {
        throw OutError(plan.path, "unknown format '" + extension +
                                      "': use .png, .mp4, .webp, or a folder for PNG frames");
    }
    const fs::path parent = plan.path.has_parent_path() ? plan.path.parent_path() : ".";
    if (!fs::is_directory(parent, error)) {
        throw OutError(plan.path, "folder " + parent.string() + " does not exist");
    }
    return plan;
}

} // namespace sandbox
