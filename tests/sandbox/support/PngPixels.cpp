#include "PngPixels.h"

#include <fstream>
#include <iterator>
#include <string>

#include <stb/stb_image.h>

namespace sandboxtest {

namespace {

int Count(const std::vector<unsigned char>& rgb, int strong, int weak1, int weak2) {
    int count = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
        const int s = rgb[i + strong];
        if (s >= 120 && rgb[i + weak1] <= 90 && rgb[i + weak2] <= 90 &&
            s >= 2 * std::max<int>(rgb[i + weak1], rgb[i + weak2])) {
            ++count;
        }
    }
    return count;
}

} // namespace

int Picture::RedPixels() const {
    return Count(rgb, 0, 1, 2);
}

int Picture::GreenPixels() const {
    return Count(rgb, 1, 0, 2);
}

Picture DecodePicture(const std::string& png) {
    Picture picture;
    int channels = 0;
    unsigned char* data =
        stbi_load_from_memory(reinterpret_cast<const unsigned char*>(png.data()), int(png.size()),
                              &picture.width, &picture.height, &channels, 3);
    if (data == nullptr) {
        return {};
    }
    picture.rgb.assign(data, data + static_cast<std::size_t>(picture.width) * picture.height * 3);
    stbi_image_free(data);
    return picture;
}

Picture LoadPicture(const std::filesystem::path& path) {
    // Read through the stream, which takes a wide path on Windows, then decoded.
    std::ifstream file(path, std::ios::binary);
    return DecodePicture(std::string{std::istreambuf_iterator<char>(file), {}});
}

} // namespace sandboxtest
