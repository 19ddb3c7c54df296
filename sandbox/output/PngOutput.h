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
//
// A folder changes only when the whole run succeeds, so a failed run leaves
// the frames of the last good one: each frame is written under the file
// layer's temporary name for it (.frame-0001.png.quellmark-tmp) and renamed
// into place by Finish once every frame is written.
class PngOutput : public FrameOutput {
public:
    // Checks the target `plan` names (which PlanOutput checked for `frames`
    // frames) before anything is loaded or drawn, so a bad one costs nothing
    // and writes nothing: throws InputError for --out - with the trace on
    // standard output or a file in a folder that does not exist,
    // files::Refused or files::WriteFailed for one the file layer will not
    // write; in a folder, files::Refused for a frame's name this run writes
    // that holds anything but a regular file (a link, a folder, ...) or a
    // read-only file. A single file's target is opened at once; frames go
    // into a folder when there are several or `plan` names an existing
    // folder, which is made if it does not exist. `messages` is told of
    // stale frames Finish removes.
    PngOutput(const OutputPlan& plan, int frames, bool traceOnStdout, std::FILE* messages);
    // Without Finish (a run that failed or was stopped): a single file is
    // left as it was; in a folder every temporary frame is removed, the
    // frames there are as they were, and folders made for the frames are
    // removed if they are still empty.
    ~PngOutput() override;
    PngOutput(const PngOutput&) = delete;
    PngOutput& operator=(const PngOutput&) = delete;

    // Writes the next frame (in a folder, under its temporary name).
    void Add(const Image& image) override;

    // After the last frame: the single file takes its new content; in a
    // folder, the frames are renamed into place, then frames left over from
    // an earlier, longer run (files named as this program names frames,
    // numbered past this run's last) are removed and `messages` is told; so
    // are the temporary frames a killed run left, without a word.
    void Finish() override;

private:
    std::filesystem::path FramePath(int frame) const;
    // Refuses what a frame's name this run writes holds, but a regular file.
    void CheckFrameNames() const;
    void MakeFolders();
    void RemoveStaleFrames() const;

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
