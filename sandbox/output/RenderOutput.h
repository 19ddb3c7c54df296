#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Image.h"
#include "files/OutputFile.h"

namespace sandbox {

// Where render's frames go: one PNG file (or standard output, "-"), or a
// folder of numbered files (frame-0001.png, ...), all through the file layer.
class RenderOutput {
public:
    // Checks the target before anything is loaded or drawn, so a bad one
    // costs nothing and writes nothing: throws InputError for a target that
    // cannot take `frames` frames, files::Refused or files::WriteFailed for
    // one the file layer will not write. A single file's target is opened at
    // once; a folder that does not exist is made.
    RenderOutput(const std::optional<std::string>& out, int frames, bool traceOnStdout);
    // Without Finish (a run that failed): a single file is left as it was,
    // and folders made for the frames are removed if they are still empty.
    ~RenderOutput();
    RenderOutput(const RenderOutput&) = delete;
    RenderOutput& operator=(const RenderOutput&) = delete;

    bool ToStandardOutput() const { return path_ == "-"; }

    // Writes frame `frame` (from 1).
    void Write(int frame, const Image& image);

    // After the last frame: the single file takes its new content; in a
    // folder, frames left over from an earlier, longer run (files named as
    // this program names frames, numbered past this run's last) are removed,
    // and `messages` is told. Returns what was written, for "wrote ...".
    std::string Finish(std::FILE* messages);

private:
    std::filesystem::path path_;
    int frames_;
    bool folder_;
    std::unique_ptr<files::OutputFile> single_;
    std::vector<std::filesystem::path> madeFolders_; // outermost first
    bool finished_ = false;
};

// "frame-0001.png": the name of frame `frame` in a folder of frames.
std::string FrameFileName(int frame);

} // namespace sandbox
