// The sandbox's PNG encoder: whatever its speed settings, the file decodes
// (with a different library) to exactly the pixels it was given.
#include <gtest/gtest.h>

#include <stb/stb_image.h>

#include <random>

#include "PngFile.h"

namespace sandbox {
namespace {

std::vector<unsigned char> DecodeRgb(const std::string& png, int& width, int& height) {
    int channels = 0;
    unsigned char* data = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(png.data()),
                                                int(png.size()), &width, &height, &channels, 3);
    if (data == nullptr) {
        return {};
    }
    std::vector<unsigned char> rgb(data, data + std::size_t(width) * height * 3);
    stbi_image_free(data);
    return rgb;
}

Image TestImage(int width, int height) {
    Image image{width, height, std::vector<unsigned char>(std::size_t(width) * height * 4)};
    std::mt19937 random(7);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &image.rgba[(std::size_t(y) * width + x) * 4];
            // Flat areas, gradients and noise: every filter path gets exercised.
            p[0] = x < width / 3 ? 20 : (unsigned char)(x * 255 / width);
            p[1] = y < height / 2 ? 24 : (unsigned char)(random() & 0xFF);
            p[2] = (unsigned char)((x + y) & 0xFF);
            p[3] = (unsigned char)(x * 7); // ignored: the frames are opaque
        }
    }
    return image;
}

TEST(PngEncodeTest, DecodesToTheSameRgbPixels) {
    for (const auto& [width, height] : {std::pair{1, 1}, {3, 5}, {257, 64}}) {
        const Image image = TestImage(width, height);
        int decodedWidth = 0;
        int decodedHeight = 0;
        const std::vector<unsigned char> rgb =
            DecodeRgb(EncodePng(image), decodedWidth, decodedHeight);
        ASSERT_EQ(decodedWidth, width);
        ASSERT_EQ(decodedHeight, height);
        for (std::size_t i = 0; i < std::size_t(width) * height; ++i) {
            for (int c = 0; c < 3; ++c) {
                ASSERT_EQ(rgb[i * 3 + c], image.rgba[i * 4 + c])
                    << "pixel " << i << " channel " << c << " of " << width << "x" << height;
            }
        }
    }
}

TEST(PngEncodeTest, RefusesAnImageWhosePixelsDoNotMatchItsSize) {
    Image image = TestImage(4, 4);
    image.rgba.resize(4 * 4 * 3);
    EXPECT_THROW(EncodePng(image), std::runtime_error);
    EXPECT_THROW(EncodePng(Image{}), std::runtime_error) << "an empty image";
}

} // namespace
} // namespace sandbox
