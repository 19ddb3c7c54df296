#include "ClipInput.h"

#include <bit>
#include <cstdio>
#include <cstring>

namespace {

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <typename T> T Next() {
        unsigned char bytes[sizeof(T)] = {};
        for (std::size_t i = 0; i < sizeof(T) && at_ < size_; ++i) {
            bytes[i] = data_[at_++];
        }
        T value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }
    Vector NextVector() {
        const float x = Next<float>();
        const float y = Next<float>();
        return {x, y, Next<float>()};
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

template <typename T> void Put(std::string& bytes, T value) {
    char raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof value);
    bytes.append(raw, sizeof raw);
}

std::string Text(Vector v) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "(%.9g, %.9g, %.9g)", double(v.X), double(v.Y),
                  double(v.Z));
    return buffer;
}

} // namespace

ClipInput ClipInput::Read(const std::uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    ClipInput input;
    input.cameraLocation = in.NextVector();
    const int pitch = in.Next<std::int32_t>();
    const int yaw = in.Next<std::int32_t>();
    input.cameraRotation = {pitch, yaw, in.Next<std::int32_t>()};
    input.fov = in.Next<float>();
    const int width = in.Next<std::uint16_t>() % 16385;
    input.canvas = {width, in.Next<std::uint16_t>() % 16385};
    input.segment.Start = in.NextVector();
    input.segment.End = in.NextVector();
    input.segment.Thickness = (in.Next<std::uint8_t>() & 1) != 0 ? 1.0f : 3.0f;
    return input;
}

std::string ClipInput::Bytes() const {
    std::string bytes;
    for (float v : {cameraLocation.X, cameraLocation.Y, cameraLocation.Z}) {
        Put(bytes, v);
    }
    for (int v : {cameraRotation.Pitch, cameraRotation.Yaw, cameraRotation.Roll}) {
        Put(bytes, std::int32_t(v));
    }
    Put(bytes, fov);
    Put(bytes, std::uint16_t(canvas.X));
    Put(bytes, std::uint16_t(canvas.Y));
    for (Vector v : {segment.Start, segment.End}) {
        for (float c : {v.X, v.Y, v.Z}) {
            Put(bytes, c);
        }
    }
    Put(bytes, std::uint8_t(segment.Thickness == 1.0f ? 1 : 0));
    return bytes;
}

std::string ClipInput::Describe() const {
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, " rotation (%d, %d, %d) fov %.9g canvas %dx%d",
                  cameraRotation.Pitch, cameraRotation.Yaw, cameraRotation.Roll, double(fov),
                  canvas.X, canvas.Y);
    return "camera " + Text(cameraLocation) + buffer + ", segment " + Text(segment.Start) + " to " +
           Text(segment.End) + " thickness " + (segment.Thickness == 1.0f ? "1" : "3");
}
