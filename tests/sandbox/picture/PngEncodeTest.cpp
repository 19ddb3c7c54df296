// The sandbox's PNG encoder: whatever its speed settings, the file decodes
// (with a different library) to exactly the pixels it was given.
#include <gtest/gtest.h>

#include <random>

#include "PngPixels.h"
#include "picture/PngFile.h"

namespace sandbox {
namespace {

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
        const sandboxtest::Picture decoded = sandboxtest::DecodePicture(EncodePng(image));
        const std::vector<unsigned char>& rgb = decoded.rgb;
        ASSERT_EQ(decoded.width, width);
        ASSERT_EQ(decoded.height, height);
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
