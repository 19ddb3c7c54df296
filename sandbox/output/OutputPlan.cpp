#include "OutputPlan.h"

#include <algorithm>
#include <cctype>

#include "InputError.h"

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

} // namespace

OutputPlan PlanOutput(const std::optional<std::string>& out, int frames) {
    OutputPlan plan;
    plan.path = out.value_or(frames > 1 ? "quellmark-frames" : "quellmark.png");
    std::error_code error;
    const std::string extension = LowerCaseExtension(plan.path);
    if (fs::is_directory(plan.path, error) || extension.empty()) {
        if (fs::exists(plan.path, error) && !fs::is_directory(plan.path, error)) {
            throw OutError(plan.path, "a folder of frames is meant, and this is a file");
        }
        plan.format = OutputFormat::PngFolder;
        return plan;
    }
    if (extension == ".png") {
        if (frames > 1) {
            throw OutError(plan.path, std::to_string(frames) +
                                          " frames go into a folder, an .mp4 or a .webp, not "
                                          "a .png file");
        }
        plan.format = OutputFormat::Png;
    } else if (extension == ".mp4") {
        plan.format = OutputFormat::Mp4;
    } else if (extension == ".webp") {
        plan.format = OutputFormat::Webp;
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
