#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <vector>

#include "files/OutputFile.h"
#include "output/FrameOutput.h"

struct AVCodec;
struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVIOContext;
struct AVPacket;
struct AVStream;
struct SwsContext;

namespace sandbox {

// H.264 video in an MP4 file through FFmpeg's libraries (x264 in Debian's
// build), 4:2:0 as every player expects. 4:2:0 needs even sides, so an odd
// width or height gets one more column or row repeating the last.
//
// The MP4 is fragmented (a fragment per second, starting at a key frame):
// the muxer then never seeks back, so the file is written front to back as
// the frames come, and memory stays at one fragment however long the video.
class Mp4Video : public FrameOutput {
public:
    // Throws std::runtime_error when FFmpeg has no H.264 encoder or refuses
    // the settings.
    Mp4Video(const std::filesystem::path& path, int width, int height, int framesPerSecond);
    ~Mp4Video() override;
    Mp4Video(const Mp4Video&) = delete;
    Mp4Video& operator=(const Mp4Video&) = delete;

    void Add(const Image& frame) override;
    void Finish() override;

private:
    struct FfmpegFree {
        void operator()(AVCodecContext* codec) const;
        void operator()(AVFormatContext* format) const;
        void operator()(AVIOContext* io) const;
        void operator()(AVFrame* frame) const;
        void operator()(AVPacket* packet) const;
        void operator()(SwsContext* scaler) const;
    };

    // FFmpeg's custom output: hands the muxer's bytes to file_.
    static int WriteBytes(void* opaque, std::uint8_t* data, int size);
    // Throws for an FFmpeg error code, or for an error file_ raised meanwhile.
    void Check(int result, const char* what);
    // Moves every packet the encoder has ready into the file.
    void Drain();
    // Sets up and opens codec_ for pictures of `width` x `height`, evened,
    // once format_ exists.
    void OpenEncoder(const AVCodec& encoder, int width, int height, int framesPerSecond);

    files::OutputFile file_;
    int width_;
    int height_;
    std::int64_t nextPts_ = 0;
    std::vector<std::uint8_t> evenSized_; // an odd-sized frame, widened
    std::exception_ptr writeError_;
    std::unique_ptr<AVIOContext, FfmpegFree> io_;
    std::unique_ptr<AVFormatContext, FfmpegFree> format_;
    std::unique_ptr<AVCodecContext, FfmpegFree> codec_;
    std::unique_ptr<SwsContext, FfmpegFree> scaler_;
    std::unique_ptr<AVFrame, FfmpegFree> picture_;
    std::unique_ptr<AVPacket, FfmpegFree> packet_;
    AVStream* stream_ = nullptr; // owned by format_
};

} // namespace sandbox
