#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "files/OutputFile.h"
#include "output/FrameOutput.h"
#include "output/OutputPlan.h"
#include "picture/Image.h"

namespace sandbox {

// Where render's PNG frames go: one PNG file (or standard output, "-"), or a
// folder of numbered files (frame-0001.png, ...), all through the file layer.
class PngOutput : public FrameOutput {
public:
    // Checks the target `plan` names before anything is loaded or drawn, so a
    // bad one costs nothing and writes nothing: throws InputError for a
    // target that cannot take `frames` frames, files::Refused or
    // files::WriteFailed for one the file layer will not write. A single
    // file's target is opened at once; a folder that does not exist is made.
    // `messages` is told of stale frames Finish removes.
    PngOutput(const OutputPlan& plan, int frames, bool traceOnStdout, std::FILE* messages);
    // Without Finish (a run that failed): a single file is left as it was,
    // and folders made for the frames are removed if they are still empty.
    ~PngOutput() override;
    PngOutput(const PngOutput&) = delete;
    PngOutput& operator=(const PngOutput&) = delete;

    // Writes the next frame.
    void Add(const Image& image) override;

    // After the last frame: the single file takes its new content; in a
    // folder, frames left over from an earlier, longer run (files named as
    // this program names frames, numbered past this run's last) are removed,
    // and `messages` is told.
    void Finish() override;

private:
    std::filesystem::path path_;
    int frames_;
    bool folder_;
    std::FILE* messages_;
    int added_ = 0;
    std::unique_ptr<files::OutputFile> single_;
    std::vector<std::filesystem::path> madeFolders_; // outermost first
    bool finished_ = false;
};

// "frame-0001.png": the name of frame `frame` in a folder of frames.
std::string FrameFileName(int frame);

} // namespace sandbox
