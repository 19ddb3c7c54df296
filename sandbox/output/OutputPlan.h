#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace sandbox {

// What a render writes, chosen by the extension of --out.
enum class OutputFormat {
    Png,  // .png, "-", a folder, a name without extension, an existing FIFO or
          // device: PngOutput's PNGs
    Mp4,  // one H.264 video
    Webp, // one animated WebP
};

struct OutputPlan {
    std::filesystem::path path;
    OutputFormat format = OutputFormat::Png;
};

// Checked before anything is loaded or drawn, so a bad path costs nothing and
// writes nothing: an unknown extension, a video in a folder that does not
// exist. PNG targets are PngOutput's to check. Throws InputError naming
// --out; also .mp4 and .webp in a build without their encoders.
OutputPlan PlanOutput(const std::optional<std::string>& out, int frames);

} // namespace sandbox
