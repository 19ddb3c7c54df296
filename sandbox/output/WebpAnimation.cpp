#include "output/WebpAnimation.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

#include <webp/encode.h>
#include <webp/mux.h>

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

struct Picture {
    WebPPicture picture;
    Picture() { WebPPictureInit(&picture); }
    ~Picture() { WebPPictureFree(&picture); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
};

struct Assembled {
    WebPData data;
    Assembled() { WebPDataInit(&data); }
    ~Assembled() { WebPDataClear(&data); }
    Assembled(const Assembled&) = delete;
    Assembled& operator=(const Assembled&) = delete;
    std::string_view Bytes() const {
        return {reinterpret_cast<const char*>(data.bytes), data.size};
    }
};

std::uint32_t LittleEndian32(const char* bytes) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | std::uint8_t(bytes[i]);
    }
    return value;
}

void PutLittleEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(char((value >> (8 * i)) & 0xFF));
    }
}

void PutChunkHeader(std::string& out, const char* fourcc, std::uint64_t size) {
    out.append(fourcc, 4);
    PutLittleEndian(out, size, 4);
}

struct Chunk {
    std::string_view fourcc;
    std::string_view payload;
    std::string_view whole; // header, payload and padding
};

// The chunks of a WebP file after its "RIFF" size "WEBP"; none when it is not
// laid out as one.
std::vector<Chunk> ChunksOf(std::string_view file) {
    if (file.size() < 12 || file.substr(0, 4) != "RIFF" || file.substr(8, 4) != "WEBP") {
        return {};
    }
    std::vector<Chunk> chunks;
    std::size_t at = 12;
    while (file.size() - at >= 8) {
        const std::size_t size = LittleEndian32(file.data() + at + 4);
        const std::size_t padded = size + (size & 1);
        if (padded > file.size() - at - 8) {
            return {};
        }
        chunks.push_back(
            {file.substr(at, 4), file.substr(at + 8, size), file.substr(at, 8 + padded)});
        at += 8 + padded;
    }
    return at == file.size() ? chunks : std::vector<Chunk>{};
}

} // namespace

void WebpAnimation::EncoderDelete::operator()(WebPAnimEncoder* encoder) const {
    WebPAnimEncoderDelete(encoder);
}

WebpAnimation::WebpAnimation(const std::filesystem::path& path, int width, int height,
                             int framesPerSecond, int pieceFrames)
    : file_(path, {"output", false}), width_(width), height_(height),
      framesPerSecond_(framesPerSecond), pieceFrames_(pieceFrames < 1 ? 1 : pieceFrames) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) {
        Fail("WebP holds pictures up to " + std::to_string(kMaxSide) + " pixels a side, not " +
             std::to_string(width) + "x" + std::to_string(height));
    }
}

WebpAnimation::~WebpAnimation() = default;

void WebpAnimation::Fail(const std::string& problem) const {
    throw std::runtime_error("cannot write " + file_.Name() + ": " + problem);
}

int WebpAnimation::StartMilliseconds(int index, int framesPerSecond) {
    return int(std::lround(double(index) * 1000.0 / double(framesPerSecond)));
}

void WebpAnimation::Add(const Image& frame) {
    const std::string number = std::to_string(added_ + 1);
    if (frame.width != width_ || frame.height != height_) {
        Fail("frame " + number + " is " + std::to_string(frame.width) + "x" +
             std::to_string(frame.height) + ", not " + std::to_string(width_) + "x" +
             std::to_string(height_));
    }
    WebPConfig config;
    WebPAnimEncoderOptions options;
    if (WebPConfigInit(&config) == 0 || WebPAnimEncoderOptionsInit(&options) == 0) {
        Fail("libwebp's version does not match its headers");
    }
    config.lossless = 1;
    config.method = kMethod;
    config.quality = kEffort;
    if (!encoder_) {
        // The options' defaults: no whole frame after the first, loop for ever.
        encoder_.reset(WebPAnimEncoderNew(width_, height_, &options));
        if (!encoder_) {
            Fail("libwebp has no memory for an animation encoder");
        }
    }
    Picture picture;
    picture.picture.use_argb = 1;
    picture.picture.width = frame.width;
    picture.picture.height = frame.height;
    // The frames are opaque: the fourth byte of each pixel is ignored.
    if (WebPPictureImportRGBX(&picture.picture, frame.rgba.data(), frame.width * 4) == 0) {
        Fail("libwebp has no memory for frame " + number);
    }
    if (WebPAnimEncoderAdd(encoder_.get(), &picture.picture,
                           StartMilliseconds(added_, framesPerSecond_), &config) == 0) {
        Fail("libwebp could not encode frame " + number + ": " +
             WebPAnimEncoderGetError(encoder_.get()));
    }
    ++added_;
    if (added_ - pieceStart_ >= pieceFrames_) {
        EndPiece(false);
    }
}

void WebpAnimation::EndPiece(bool last) {
    Assembled piece;
    // The closing call tells the library when the last frame ends.
    if (WebPAnimEncoderAdd(encoder_.get(), nullptr, StartMilliseconds(added_, framesPerSecond_),
                           nullptr) == 0 ||
        WebPAnimEncoderAssemble(encoder_.get(), &piece.data) == 0) {
        Fail(std::string("libwebp could not assemble the animation: ") +
             WebPAnimEncoderGetError(encoder_.get()));
    }
    encoder_.reset();
    if (last && !kept_) {
        file_.Write(piece.Bytes());
    } else {
        Keep(piece.Bytes());
    }
    pieceStart_ = added_;
}

void WebpAnimation::Keep(std::string_view piece) {
    const std::vector<Chunk> chunks = ChunksOf(piece);
    if (chunks.empty()) {
        Fail("libwebp assembled a piece that is not a WebP file");
    }
    // A piece that came out as one frame is a still picture: its image
    // chunks become a frame lasting the whole piece.
    std::string still;
    for (const Chunk& chunk : chunks) {
        if (chunk.fourcc == "VP8X" && !chunk.payload.empty()) {
            features_ |= std::uint8_t(chunk.payload[0]);
        } else if (chunk.fourcc == "ANMF") {
            KeepBytes(chunk.whole);
        } else if (chunk.fourcc == "ALPH" || chunk.fourcc == "VP8 " || chunk.fourcc == "VP8L") {
            still.append(chunk.whole);
        }
        // ANIM says what the header written at Finish says for every piece.
    }
    if (!still.empty()) {
        std::string frame;
        PutChunkHeader(frame, "ANMF", 16 + still.size());
        PutLittleEndian(frame, 0, 3); // x / 2
        PutLittleEndian(frame, 0, 3); // y / 2
        PutLittleEndian(frame, std::uint64_t(width_ - 1), 3);
        PutLittleEndian(frame, std::uint64_t(height_ - 1), 3);
        PutLittleEndian(frame,
                        std::uint64_t(StartMilliseconds(added_, framesPerSecond_) -
                                      StartMilliseconds(pieceStart_, framesPerSecond_)),
                        3);
        frame.push_back(0x02); // replace the canvas (no blending), keep it after
        KeepBytes(frame + still);
    }
}

void WebpAnimation::KeepBytes(std::string_view bytes) {
    if (keptSize_ + bytes.size() > kMaxRiffPayload - 64) {
        Fail("the animation would pass WebP's 4 GiB limit at frame " + std::to_string(added_));
    }
    if (!kept_) {
        kept_.reset(std::tmpfile());
        if (!kept_) {
            Fail(std::string("no temporary file for the frames: ") + std::strerror(errno));
        }
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), kept_.get()) != bytes.size()) {
        Fail(std::string("cannot hold the frames in a temporary file: ") + std::strerror(errno));
    }
    keptSize_ += bytes.size();
}

void WebpAnimation::Finish() {
    if (added_ == 0) {
        Fail("an animation needs at least one frame");
    }
    if (encoder_) {
        EndPiece(true);
    }
    if (kept_) {
        std::string header;
        constexpr std::uint64_t kVp8xSize = 10;
        constexpr std::uint64_t kAnimSize = 6;
        PutChunkHeader(header, "RIFF", 4 + (8 + kVp8xSize) + (8 + kAnimSize) + keptSize_);
        header.append("WEBP");
        PutChunkHeader(header, "VP8X", kVp8xSize);
        header.push_back(char(features_ | ANIMATION_FLAG));
        PutLittleEndian(header, 0, 3);
        PutLittleEndian(header, std::uint64_t(width_ - 1), 3);
        PutLittleEndian(header, std::uint64_t(height_ - 1), 3);
        // As the library writes it: a white background, looping for ever.
        PutChunkHeader(header, "ANIM", kAnimSize);
        PutLittleEndian(header, 0xFFFFFFFFu, 4);
        PutLittleEndian(header, 0, 2);
        file_.Write(header);
        if (std::fflush(kept_.get()) != 0 || std::fseek(kept_.get(), 0, SEEK_SET) != 0) {
            Fail(std::string("cannot read the frames back: ") + std::strerror(errno));
        }
        std::vector<char> chunk(1 << 20);
        for (std::uint64_t copied = 0; copied < keptSize_;) {
            const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), kept_.get());
            if (n == 0) {
                Fail("the frames' temporary file ended early");
            }
            file_.Write(std::string_view(chunk.data(), n));
            copied += n;
        }
    }
    file_.Commit();
}

} // namespace sandbox
