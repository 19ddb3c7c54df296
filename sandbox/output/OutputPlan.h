#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace sandbox {

// What a render writes, chosen by the extension of --out.
enum class OutputFormat {
    Png,       // one frame, one .png file
    PngFolder, // a folder of frame-0001.png, ...: no extension, or an existing folder
    Mp4,       // one H.264 video
    Webp,      // one animated WebP
};

struct OutputPlan {
    std::filesystem::path path;
    OutputFormat format = OutputFormat::Png;
};

// Checked before anything is loaded or drawn, so a bad path costs nothing and
// writes nothing: an unknown extension, several frames for one .png, a folder
// that does not exist. Throws InputError naming --out.
OutputPlan PlanOutput(const std::optional<std::string>& out, int frames);

} // namespace sandbox
