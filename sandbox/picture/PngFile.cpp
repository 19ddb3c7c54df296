#include "PngFile.h"

#include <stdexcept>

#include <stb/stb_image_write.h>

#include "files/OutputFile.h"

namespace sandbox {

namespace {

void Append(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                               static_cast<std::size_t>(size));
}

} // namespace

std::string EncodePng(const Image& image) {
    std::vector<unsigned char> rgb;
    rgb.reserve(static_cast<std::size_t>(image.width) * image.height * 3);
    for (std::size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
        rgb.insert(rgb.end(), image.rgba.begin() + i, image.rgba.begin() + i + 3);
    }
    std::string bytes;
    if (stbi_write_png_to_func(Append, &bytes, image.width, image.height, 3, rgb.data(),
                               image.width * 3) == 0) {
        throw std::runtime_error("cannot encode a " + std::to_string(image.width) + "x" +
                                 std::to_string(image.height) + " PNG");
    }
    return bytes;
}

void WritePng(const std::filesystem::path& path, const Image& image, std::string_view what) {
    files::WriteFile(path, EncodePng(image), {what, false});
}

} // namespace sandbox
