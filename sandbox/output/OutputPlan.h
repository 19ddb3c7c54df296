#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace sandbox {

// What a render writes, chosen by the extension of --out.
enum class OutputFormat {
    Png,  // .png, "-", a folder, a name without extension, an existing FIFO or
          // device of no video's extension: PngOutput's PNGs
    Mp4,  // one H.264 video
    Webp, // one animated WebP
};

struct OutputPlan {
    std::filesystem::path path;
    OutputFormat format = OutputFormat::Png;
};

// Checked before anything is loaded or drawn, so a bad path costs nothing and
// writes nothing: an unknown extension, a video in a folder that does not
// exist, several frames for a target that takes one (standard output, a .png
// file, anything but a folder), the message then naming the folder and
// videos they could go to. The rest of a PNG target is PngOutput's to check.
// Throws InputError naming --out; also for .mp4 and .webp in a build without
// their encoders.
OutputPlan PlanOutput(const std::optional<std::string>& out, int frames);

// What --out takes, in one line for the command's help: "NAME.png, NAME.mp4,
// NAME.webp, a folder, or - for standard output" (the videos this build
// writes).
std::string OutputFormatList();

} // namespace sandbox
