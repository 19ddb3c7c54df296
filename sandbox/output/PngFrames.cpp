#include "PngFrames.h"

#include <cstdio>

#include "PngFile.h"
#include "files/OutputFile.h"

namespace sandbox {

PngFrames::PngFrames(std::filesystem::path path, bool folder)
    : path_(std::move(path)), folder_(folder) {
    if (folder_) {
        std::filesystem::create_directories(path_);
    }
}

std::filesystem::path PngFrames::FrameFileName(int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%04d.png", frame);
    return name;
}

void PngFrames::Add(const Image& frame) {
    ++added_;
    files::WriteFile(folder_ ? path_ / FrameFileName(added_) : path_, EncodePng(frame),
                     {"output", false});
}

} // namespace sandbox
