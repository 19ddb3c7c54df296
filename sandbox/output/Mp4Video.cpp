#include "output/Mp4Video.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace sandbox {

namespace {

// x264's speed and quality: "superfast" keeps up with drawing on one core at
// 1280x720, and a constant quality of 20 keeps the one-pixel lines crisp.
// One encoding thread, the render's second: x264's own threading would take
// the core that draws, and hold frames in flight (over 40 MB more at 720p).
constexpr const char* kPreset = "superfast";
constexpr const char* kQuality = "20";
constexpr const char* kThreads = "1";
// Muxer flags for an MP4 that is written front to back (see the header).
constexpr const char* kFragmentFlags = "frag_keyframe+empty_moov+default_base_moof";
constexpr int kIoBufferSize = 64 * 1024;

std::string FfmpegMessage(int result) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(result, text, sizeof text);
    return text;
}

} // namespace

void Mp4Video::FfmpegFree::operator()(AVCodecContext* codec) const {
    avcodec_free_context(&codec);
}
void Mp4Video::FfmpegFree::operator()(AVFormatContext* format) const {
    avformat_free_context(format);
}
void Mp4Video::FfmpegFree::operator()(AVIOContext* io) const {
    // The buffer may have been replaced by FFmpeg; it is ours to free.
    av_freep(&io->buffer);
    avio_context_free(&io);
}
void Mp4Video::FfmpegFree::operator()(AVFrame* frame) const {
    av_frame_free(&frame);
}
void Mp4Video::FfmpegFree::operator()(AVPacket* packet) const {
    av_packet_free(&packet);
}
void Mp4Video::FfmpegFree::operator()(SwsContext* scaler) const {
    sws_freeContext(scaler);
}

Mp4Video::Mp4Video(const std::filesystem::path& path, int width, int height, int framesPerSecond)
    : file_(path, {"output", false}), width_(width), height_(height) {
    const std::string name = file_.Name();
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_H264);
    if (encoder == nullptr) {
        throw std::runtime_error("cannot write " + name +
                                 ": this FFmpeg build has no H.264 encoder");
    }

    AVFormatContext* format = nullptr;
    Check(avformat_alloc_output_context2(&format, nullptr, "mp4", nullptr), "set up MP4");
    format_.reset(format);
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
    io_.reset(avio_alloc_context(buffer, kIoBufferSize, 1, this, nullptr, WriteBytes, nullptr));
    if (io_ == nullptr) {
        av_free(buffer);
        throw std::bad_alloc();
    }
    format_->pb = io_.get();
    format_->flags |= AVFMT_FLAG_CUSTOM_IO;

    OpenEncoder(*encoder, width, height, framesPerSecond);

    stream_ = avformat_new_stream(format_.get(), nullptr);
    if (stream_ == nullptr) {
        throw std::bad_alloc();
    }
    stream_->time_base = codec_->time_base;
    stream_->avg_frame_rate = codec_->framerate;
    Check(avcodec_parameters_from_context(stream_->codecpar, codec_.get()), "describe the video");
    AVDictionary* muxOptions = nullptr;
    av_dict_set(&muxOptions, "movflags", kFragmentFlags, 0);
    const int started = avformat_write_header(format_.get(), &muxOptions);
    av_dict_free(&muxOptions);
    Check(started, "start the MP4");

    scaler_.reset(sws_getContext(codec_->width, codec_->height, AV_PIX_FMT_RGBA, codec_->width,
                                 codec_->height, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr,
                                 nullptr));
    if (scaler_ == nullptr) {
        throw std::runtime_error("cannot write " + name + ": no RGB to YUV conversion");
    }
    // The same coefficients the stream says it uses; the frames are full range.
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(scaler_.get(), bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);

    picture_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (picture_ == nullptr || packet_ == nullptr) {
        throw std::bad_alloc();
    }
    picture_->format = codec_->pix_fmt;
    picture_->width = codec_->width;
    picture_->height = codec_->height;
    Check(av_frame_get_buffer(picture_.get(), 0), "allocate a frame");
}

void Mp4Video::OpenEncoder(const AVCodec& encoder, int width, int height, int framesPerSecond) {
    codec_.reset(avcodec_alloc_context3(&encoder));
    if (codec_ == nullptr) {
        throw std::bad_alloc();
    }
    // 4:2:0 halves both sides of the colour planes: round up to even.
    codec_->width = (width + 1) & ~1;
    codec_->height = (height + 1) & ~1;
    codec_->time_base = AVRational{1, framesPerSecond};
    codec_->framerate = AVRational{framesPerSecond, 1};
    codec_->gop_size = framesPerSecond;
    // No B-frames: on these pictures they save nothing, and x264 would hold
    // frames back for them (about 25 MB more at 1280x720).
    codec_->max_b_frames = 0;
    codec_->pix_fmt = AV_PIX_FMT_YUV420P;
    codec_->sample_aspect_ratio = AVRational{1, 1};
    codec_->color_range = AVCOL_RANGE_MPEG;
    codec_->colorspace = AVCOL_SPC_BT709;
    codec_->color_primaries = AVCOL_PRI_BT709;
    codec_->color_trc = AVCOL_TRC_BT709;
    // Keeps x264's summary and warnings off the render's stderr, errors on it.
    codec_->log_level_offset = AV_LOG_VERBOSE - AV_LOG_WARNING;
    if ((format_->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
        codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    AVDictionary* codecOptions = nullptr;
    av_dict_set(&codecOptions, "preset", kPreset, 0);
    av_dict_set(&codecOptions, "crf", kQuality, 0);
    av_dict_set(&codecOptions, "threads", kThreads, 0);
    const int opened = avcodec_open2(codec_.get(), &encoder, &codecOptions);
    av_dict_free(&codecOptions);
    Check(opened, "start the H.264 encoder");
}

Mp4Video::~Mp4Video() = default;

int Mp4Video::WriteBytes(void* opaque, std::uint8_t* data, int size) {
    auto* video = static_cast<Mp4Video*>(opaque);
    try {
        video->file_.Write(
            std::string_view(reinterpret_cast<const char*>(data), static_cast<std::size_t>(size)));
        return size;
    } catch (...) {
        video->writeError_ = std::current_exception();
        return AVERROR(EIO);
    }
}

void Mp4Video::Check(int result, const char* what) {
    if (writeError_) {
        std::rethrow_exception(writeError_);
    }
    if (result < 0) {
        throw std::runtime_error("cannot write " + file_.Name() + ": " + what + ": " +
                                 FfmpegMessage(result));
    }
}

void Mp4Video::Add(const Image& frame) {
    Check(av_frame_make_writable(picture_.get()), "reuse a frame");
    const std::uint8_t* source[1] = {frame.rgba.data()};
    int stride[1] = {frame.width * 4};
    if (picture_->width != width_ || picture_->height != height_) {
        // The video's sides are even: an odd-sized picture is widened first,
        // the added column and row repeating the last, so that no pixel of
        // the encoded frame is left unset.
        const std::size_t rowBytes = static_cast<std::size_t>(width_) * 4;
        const std::size_t evenRowBytes = static_cast<std::size_t>(picture_->width) * 4;
        evenSized_.resize(evenRowBytes * static_cast<std::size_t>(picture_->height));
        for (int row = 0; row < picture_->height; ++row) {
            const std::uint8_t* from =
                frame.rgba.data() + rowBytes * static_cast<std::size_t>(std::min(row, height_ - 1));
            std::uint8_t* to = evenSized_.data() + evenRowBytes * static_cast<std::size_t>(row);
            std::memcpy(to, from, rowBytes);
            std::memcpy(to + rowBytes, to + rowBytes - 4, evenRowBytes - rowBytes);
        }
        source[0] = evenSized_.data();
        stride[0] = picture_->width * 4;
    }
    sws_scale(scaler_.get(), source, stride, 0, picture_->height, picture_->data,
              picture_->linesize);
    picture_->pts = nextPts_++;
    Check(avcodec_send_frame(codec_.get(), picture_.get()), "encode a frame");
    Drain();
}

void Mp4Video::Drain() {
    for (;;) {
        const int result = avcodec_receive_packet(codec_.get(), packet_.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
            return;
        }
        Check(result, "encode a frame");
        av_packet_rescale_ts(packet_.get(), codec_->time_base, stream_->time_base);
        packet_->stream_index = stream_->index;
        Check(av_interleaved_write_frame(format_.get(), packet_.get()), "write a frame");
    }
}

void Mp4Video::Finish() {
    Check(avcodec_send_frame(codec_.get(), nullptr), "finish encoding");
    Drain();
    Check(av_write_trailer(format_.get()), "finish the MP4");
    avio_flush(io_.get());
    Check(0, "finish the MP4");
    file_.Commit();
}

} // namespace sandbox
