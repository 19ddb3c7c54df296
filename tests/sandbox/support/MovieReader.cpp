#include "MovieReader.h"

#include <memory>

#include <webp/demux.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "ProgramRun.h"

namespace sandboxtest {

namespace {

struct FormatClose {
    void operator()(AVFormatContext* format) const { avformat_close_input(&format); }
};
struct CodecFree {
    void operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ScalerFree {
    void operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
};

std::vector<unsigned char> ToRgb(const AVFrame& frame) {
    // FFmpeg's fast YUV to RGB path leaves the last columns of a width that
    // is not a multiple of 8 unset; the accurate one converts every pixel.
    std::unique_ptr<SwsContext, ScalerFree> scaler(sws_getContext(
        frame.width, frame.height, AVPixelFormat(frame.format), frame.width, frame.height,
        AV_PIX_FMT_RGB24, SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr,
        nullptr));
    std::vector<unsigned char> rgb(static_cast<std::size_t>(frame.width) * frame.height * 3);
    std::uint8_t* planes[1] = {rgb.data()};
    const int strides[1] = {frame.width * 3};
    sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, planes, strides);
    return rgb;
}

} // namespace

std::uint64_t RgbHash(const std::vector<unsigned char>& rgb) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char byte : rgb) {
        hash = (hash ^ byte) * 1099511628211ull;
    }
    return hash;
}

Movie ReadMp4(const std::filesystem::path& path) {
    Movie movie;
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) {
        movie.error = "FFmpeg cannot open " + path.string();
        return movie;
    }
    std::unique_ptr<AVFormatContext, FormatClose> format(opened);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        movie.error = "FFmpeg finds no streams in " + path.string();
        return movie;
    }
    const AVCodec* decoder = nullptr;
    const int stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (stream < 0 || decoder == nullptr) {
        movie.error = "no video stream FFmpeg can decode";
        return movie;
    }
    const AVStream& video = *format->streams[stream];
    movie.codec = avcodec_get_name(video.codecpar->codec_id);
    movie.framesPerSecond = av_q2d(video.avg_frame_rate);
    std::unique_ptr<AVCodecContext, CodecFree> codec(avcodec_alloc_context3(decoder));
    avcodec_parameters_to_context(codec.get(), video.codecpar);
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0) {
        movie.error = "the decoder refuses the stream";
        return movie;
    }
    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    auto receive = [&] {
        while (avcodec_receive_frame(codec.get(), frame.get()) == 0) {
            ++movie.frames;
            movie.width = frame->width;
            movie.height = frame->height;
            movie.lastRgb = ToRgb(*frame);
            if (movie.frames == 1) {
                movie.firstRgb = movie.lastRgb;
            }
        }
    };
    while (av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == stream && avcodec_send_packet(codec.get(), packet.get()) < 0) {
            movie.error = "a packet does not decode";
        }
        av_packet_unref(packet.get());
        receive();
    }
    avcodec_send_packet(codec.get(), nullptr);
    receive();
    return movie;
}

Movie ReadAnimatedWebp(const std::filesystem::path& path) {
    Movie movie;
    const std::string bytes = ReadFile(path);
    WebPData data{reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA;
    std::unique_ptr<WebPAnimDecoder, void (*)(WebPAnimDecoder*)> decoder(
        WebPAnimDecoderNew(&data, &options), WebPAnimDecoderDelete);
    if (decoder == nullptr) {
        movie.error = "libwebp refuses " + path.string() + " as an animation";
        return movie;
    }
    WebPAnimInfo info;
    WebPAnimDecoderGetInfo(decoder.get(), &info);
    movie.codec = "webp";
    movie.width = int(info.canvas_width);
    movie.height = int(info.canvas_height);
    const WebPDemuxer* demuxer = WebPAnimDecoderGetDemuxer(decoder.get());
    movie.alphaFlag = (WebPDemuxGetI(demuxer, WEBP_FF_FORMAT_FLAGS) & ALPHA_FLAG) != 0;
    WebPIterator frame;
    for (int ok = WebPDemuxGetFrame(demuxer, 1, &frame); ok != 0; ok = WebPDemuxNextFrame(&frame)) {
        movie.transparentFrames = movie.transparentFrames || frame.has_alpha != 0;
    }
    WebPDemuxReleaseIterator(&frame);
    while (WebPAnimDecoderHasMoreFrames(decoder.get()) != 0) {
        std::uint8_t* rgba = nullptr;
        int timestamp = 0;
        if (WebPAnimDecoderGetNext(decoder.get(), &rgba, &timestamp) == 0) {
            movie.error = "frame " + std::to_string(movie.frames + 1) + " does not decode";
            return movie;
        }
        ++movie.frames;
        movie.lastRgb.clear();
        for (std::size_t i = 0; i < std::size_t(movie.width) * movie.height; ++i) {
            movie.lastRgb.insert(movie.lastRgb.end(), rgba + 4 * i, rgba + 4 * i + 3);
        }
        if (movie.frames == 1) {
            movie.firstRgb = movie.lastRgb;
        }
        movie.frameEnds.push_back(timestamp);
        movie.frameHashes.push_back(RgbHash(movie.lastRgb));
    }
    return movie;
}

} // namespace sandboxtest
