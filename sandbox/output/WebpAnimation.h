#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "files/OutputFile.h"
#include "output/FrameOutput.h"

struct WebPAnimEncoder;

namespace sandbox {

// An animated WebP made by libwebpmux's WebPAnimEncoder, lossless, so the
// animation shows exactly the pixels of the PNG frames. After a piece's first
// frame each frame holds only the rectangle that changed, and a frame equal
// to the one before lengthens that one instead of adding another. Frames are
// timed from their index at the render's rate, so they last 17, 16, 17, ...
// ms at 60 per second.
//
// WebPAnimEncoder keeps its whole animation until it assembles it. To keep
// memory at a few seconds of frames however long the run, the animation is
// made in pieces of `pieceFrames` frames, each by an encoder of its own whose
// first frame is whole, so a piece never depends on the one before. An
// animation of one piece is written as the library assembled it; the frames
// of a longer one wait in an unnamed temporary file until Finish, since the
// file's header holds the total size.
class WebpAnimation : public FrameOutput {
public:
    // Five seconds at 60 frames per second. A whole frame every five seconds
    // adds under 3% to the file when little moves (the frames in between
    // are small then), far less when the camera moves; a piece of the
    // sandbox's 1280x720 frames is a few megabytes. The peak memory of a
    // 1000-frame render is then that of a 5000-frame one, where one piece
    // for all grows by about 15 MB a thousand frames.
    static constexpr int kPieceFrames = 300;

    // Throws std::runtime_error for a size WebP cannot hold (over 16383).
    WebpAnimation(const std::filesystem::path& path, int width, int height, int framesPerSecond,
                  int pieceFrames = kPieceFrames);
    ~WebpAnimation() override;
    WebpAnimation(const WebpAnimation&) = delete;
    WebpAnimation& operator=(const WebpAnimation&) = delete;

    void Add(const Image& frame) override;
    void Finish() override;

    // When frame `index` (from 0) starts, in milliseconds: its exact time,
    // rounded, so the durations add up to the frames' times.
    static int StartMilliseconds(int index, int framesPerSecond);

private:
    struct EncoderDelete {
        void operator()(WebPAnimEncoder* encoder) const;
    };
    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    [[noreturn]] void Fail(const std::string& problem) const;
    // Ends the piece being encoded. The animation's only piece is the file
    // as the library assembled it; any other waits for Finish.
    void EndPiece(bool last);
    // Keeps the frames of a whole piece for the file written at Finish.
    void Keep(std::string_view piece);
    void KeepBytes(std::string_view bytes);

    files::OutputFile file_;
    int width_;
    int height_;
    int framesPerSecond_;
    int pieceFrames_;
    int added_ = 0;
    int pieceStart_ = 0; // the index of the piece's first frame
    std::unique_ptr<WebPAnimEncoder, EncoderDelete> encoder_;
    std::unique_ptr<std::FILE, CloseFile> kept_; // frames of ended pieces
    std::uint64_t keptSize_ = 0;
    std::uint8_t features_ = 0; // the pieces' VP8X flags, together
};

} // namespace sandbox
