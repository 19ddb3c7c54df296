// The animated WebP writer on its own, read back by libwebp's demuxer: every
// frame's pixels and times, across the pieces a long animation is made in,
// frames that repeat the one before, and a writer dropped half way.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "MovieReader.h"
#include "ProgramRun.h"
#include "output/WebpAnimation.h"

namespace sandbox {
namespace {

using sandboxtest::ReadAnimatedWebp;
using sandboxtest::RgbHash;
using sandboxtest::TempDir;

constexpr int kWidth = 48;
constexpr int kHeight = 32;

// A picture of its own for each scene: a gradient with a square that moves;
// scene 5 shifts the whole gradient, so every pixel changes.
Image Scene(int scene) {
    Image image{kWidth, kHeight, std::vector<unsigned char>(std::size_t(kWidth) * kHeight * 4)};
    const int shift = scene == 5 ? 97 : 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            unsigned char* pixel = &image.rgba[std::size_t(y * kWidth + x) * 4];
            const bool square =
                x >= 3 + 5 * scene && x < 9 + 5 * scene && y >= 2 + 3 * scene && y < 8 + 3 * scene;
            pixel[0] = square ? 250 : (unsigned char)(x * 5 + shift);
            pixel[1] = square ? 20 : (unsigned char)(y * 7 + shift);
            pixel[2] = (unsigned char)(x + y);
            pixel[3] = 255;
        }
    }
    return image;
}

std::vector<unsigned char> Rgb(const Image& image) {
    std::vector<unsigned char> rgb;
    for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
        rgb.insert(rgb.end(), image.rgba.begin() + i, image.rgba.begin() + i + 3);
    }
    return rgb;
}

// When frame `index` starts at 60 frames per second, in milliseconds, rounded.
int At60(int index) {
    return (2000 * index + 60) / 120;
}

TEST(WebpAnimationTest, FrameDurationsAddUpToTheFramesTimes) {
    for (const int rate : {60, 24, 30, 7}) {
        for (int i = 0; i < rate; ++i) {
            const int ms = WebpAnimation::StartMilliseconds(i + 1, rate) -
                           WebpAnimation::StartMilliseconds(i, rate);
            EXPECT_TRUE(ms == 1000 / rate || ms == 1000 / rate + 1)
                << "frame " << i << " at " << rate << " per second lasts " << ms << " ms";
        }
        EXPECT_EQ(WebpAnimation::StartMilliseconds(0, rate), 0);
        EXPECT_EQ(WebpAnimation::StartMilliseconds(rate, rate), 1000)
            << rate << " frames at " << rate << " per second";
    }
}

// Each frame shows exactly its pixels for exactly its time, whether the
// animation is one piece or several (the last two of one frame each, which
// the library makes still pictures), or one frame; a frame equal to the one
// before lengthens it, except where a piece starts.
TEST(WebpAnimationTest, EveryFrameShowsItsPixelsForItsTimeInPiecesOrWhole) {
    const std::vector<int> changing = {0, 1, 2, 3, 4, 4, 4, 5, 6, 6, 6, 6, 7};
    const std::pair<std::vector<int>, int> runs[] = {{changing, 4}, {changing, 100}, {{3}, 600}};
    for (const auto& [scenes, piece] : runs) {
        TempDir dir;
        const auto path = dir / "run.webp";
        WebpAnimation animation(path, kWidth, kHeight, 60, piece);
        std::vector<std::uint64_t> hashes;
        std::vector<int> ends;
        for (int i = 0; i < int(scenes.size()); ++i) {
            animation.Add(Scene(scenes[i]));
            if (i > 0 && scenes[i] == scenes[i - 1] && i % piece != 0) {
                ends.back() = At60(i + 1);
            } else {
                hashes.push_back(RgbHash(Rgb(Scene(scenes[i]))));
                ends.push_back(At60(i + 1));
            }
        }
        animation.Finish();
        if (ends.size() == 1) {
            ends = {0}; // one picture in all is a still WebP, which has no time
        }

        const sandboxtest::Movie movie = ReadAnimatedWebp(path);
        ASSERT_EQ(movie.error, "") << "pieces of " << piece;
        EXPECT_EQ(movie.width, kWidth);
        EXPECT_EQ(movie.height, kHeight);
        EXPECT_EQ(movie.frameHashes, hashes) << "pieces of " << piece;
        EXPECT_EQ(movie.frameEnds, ends) << "pieces of " << piece;
        EXPECT_EQ(movie.alphaFlag, movie.transparentFrames) << "pieces of " << piece;
    }
}

// Dropped without Finish, as after a failure elsewhere: the file is as it
// was, and nothing else is left beside it.
TEST(WebpAnimationTest, DroppedUnfinishedLeavesTheOldFileAlone) {
    TempDir dir;
    const auto path = dir.Write("kept.webp", "the last good run");
    {
        WebpAnimation animation(path, kWidth, kHeight, 60, 2);
        for (int scene = 0; scene < 5; ++scene) {
            animation.Add(Scene(scene));
        }
    }
    EXPECT_EQ(sandboxtest::ReadFile(path), "the last good run");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "a temporary was left beside the file";
}

} // namespace
} // namespace sandbox
