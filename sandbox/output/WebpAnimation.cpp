#include "output/WebpAnimation.h"

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <webp/encode.h>

namespace sandbox {

namespace {

// The RIFF container's sizes are 32 bits; canvas sides are 14 bits.
constexpr std::uint64_t kMaxRiffPayload = 0xFFFFFFF0u;
constexpr int kMaxSide = 16383;
// Lossless at libwebp's quick end: a quarter of the PNG's size for these flat
// frames, in a fifth of the time of libwebp's default effort. Method 0 is
// barely faster and six times larger.
constexpr int kMethod = 1;
constexpr float kEffort = 0.0f;

void PutLittleEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(char((value >> (8 * i)) & 0xFF));
    }
}

void PutChunkHeader(std::string& out, const char* fourcc, std::uint64_t size) {
    out.append(fourcc, 4);
    PutLittleEndian(out, size, 4);
}

struct EncodedPicture {
    WebPPicture picture;
    WebPMemoryWriter writer;
    EncodedPicture() {
        WebPPictureInit(&picture);
        WebPMemoryWriterInit(&writer);
    }
    ~EncodedPicture() {
        WebPPictureFree(&picture);
        WebPMemoryWriterClear(&writer);
    }
    EncodedPicture(const EncodedPicture&) = delete;
    EncodedPicture& operator=(const EncodedPicture&) = delete;
};

} // namespace

WebpAnimation::WebpAnimation(const std::filesystem::path& path, int width, int height,
                             int framesPerSecond)
    : file_(path, {"output", false}), width_(width), height_(height),
      framesPerSecond_(framesPerSecond), frames_(std::tmpfile()) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
        Fail("WebP holds pictures up to " + std::to_string(kMaxSide) + " pixels a side, not " +
             std::to_string(width) + "x" + std::to_string(height));
    }
    if (frames_ == nullptr) {
        Fail(std::string("no temporary file for the frames: ") + std::strerror(errno));
    }
}

void WebpAnimation::Fail(const std::string& problem) const {
    throw std::runtime_error("cannot write " + file_.Name() + ": " + problem);
}

int WebpAnimation::FrameMilliseconds(int index, int framesPerSecond) {
    auto at = [framesPerSecond](int frame) {
        return std::lround(double(frame) * 1000.0 / double(framesPerSecond));
    };
    return int(at(index + 1) - at(index));
}

void WebpAnimation::Add(const Image& frame) {
    if (frame.width != width_ || frame.height != height_) {
        Fail("frame " + std::to_string(added_ + 1) + " is " + std::to_string(frame.width) + "x" +
             std::to_string(frame.height) + ", not " + std::to_string(width_) + "x" +
             std::to_string(height_));
    }
    WebPConfig config;
    if (WebPConfigInit(&config) == 0) {
        Fail("libwebp's version does not match its headers");
    }
    config.lossless = 1;
    config.method = kMethod;
    config.quality = kEffort;
    EncodedPicture encoded;
    encoded.picture.use_argb = 1;
    encoded.picture.width = frame.width;
    encoded.picture.height = frame.height;
    encoded.picture.writer = WebPMemoryWrite;
    encoded.picture.custom_ptr = &encoded.writer;
    // The frames are opaque: the fourth byte of each pixel is ignored.
    if (WebPPictureImportRGBX(&encoded.picture, frame.rgba.data(), frame.width * 4) == 0 ||
        WebPEncode(&config, &encoded.picture) == 0) {
        Fail("libwebp could not encode frame " + std::to_string(added_ + 1) + " (error " +
             std::to_string(int(encoded.picture.error_code)) + ")");
    }
    // A still WebP is "RIFF" size "WEBP" and one image chunk ("VP8L"): the
    // chunk goes into the animation frame as it is.
    const std::uint8_t* bytes = encoded.writer.mem;
    const std::size_t size = encoded.writer.size;
    if (size < 20 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WEBP", 4) != 0 ||
        std::memcmp(bytes + 12, "VP8", 3) != 0) {
        Fail("libwebp gave an unexpected layout for frame " + std::to_string(added_ + 1));
    }
    const std::size_t imageSize = size - 12;

    std::string header;
    PutChunkHeader(header, "ANMF", 16 + imageSize);
    PutLittleEndian(header, 0, 3); // x / 2
    PutLittleEndian(header, 0, 3); // y / 2
    PutLittleEndian(header, std::uint64_t(frame.width - 1), 3);
    PutLittleEndian(header, std::uint64_t(frame.height - 1), 3);
    PutLittleEndian(header, std::uint64_t(FrameMilliseconds(added_, framesPerSecond_)), 3);
    header.push_back(0x02); // replace the canvas (no blending), keep it after
    if (framesSize_ + header.size() + imageSize > kMaxRiffPayload - 64) {
        Fail("the animation would pass WebP's 4 GiB limit at frame " + std::to_string(added_ + 1));
    }
    if (std::fwrite(header.data(), 1, header.size(), frames_.get()) != header.size() ||
        std::fwrite(bytes + 12, 1, imageSize, frames_.get()) != imageSize) {
        Fail(std::string("cannot hold the frames in a temporary file: ") + std::strerror(errno));
    }
    framesSize_ += header.size() + imageSize;
    ++added_;
}

void WebpAnimation::Finish() {
    std::string header;
    constexpr std::uint64_t kVp8xSize = 10;
    constexpr std::uint64_t kAnimSize = 6;
    PutChunkHeader(header, "RIFF", 4 + (8 + kVp8xSize) + (8 + kAnimSize) + framesSize_);
    header.append("WEBP");
    PutChunkHeader(header, "VP8X", kVp8xSize);
    header.push_back(0x02); // animated, opaque, no metadata
    PutLittleEndian(header, 0, 3);
    PutLittleEndian(header, std::uint64_t(width_ - 1), 3);
    PutLittleEndian(header, std::uint64_t(height_ - 1), 3);
    PutChunkHeader(header, "ANIM", kAnimSize);
    PutLittleEndian(header, 0xFF000000u, 4); // background: opaque black (B, G, R, A)
    PutLittleEndian(header, 0, 2);           // loop for ever
    file_.Write(header);

    if (std::fflush(frames_.get()) != 0 || std::fseek(frames_.get(), 0, SEEK_SET) != 0) {
        Fail(std::string("cannot read the frames back: ") + std::strerror(errno));
    }
    std::vector<char> chunk(1 << 20);
    std::uint64_t copied = 0;
    while (copied < framesSize_) {
        const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), frames_.get());
        if (n == 0) {
            Fail("the frames' temporary file ended early");
        }
        file_.Write(std::string_view(chunk.data(), n));
        copied += n;
    }
    file_.Commit();
}

} // namespace sandbox
