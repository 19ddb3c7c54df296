// Which output --out names: the extension picks the format, a folder is a
// PNG sequence, anything else is refused before a frame is drawn.
#include <gtest/gtest.h>

#include "InputError.h"
#include "OutputPlan.h"
#include "ProgramRun.h"
#include "WebpAnimation.h"

namespace sandbox {
namespace {

using sandboxtest::TempDir;

TEST(OutputPlanTest, ExtensionPicksTheFormat) {
    TempDir dir;
    EXPECT_EQ(PlanOutput((dir / "a.png").string(), 1).format, OutputFormat::Png);
    EXPECT_EQ(PlanOutput((dir / "a.mp4").string(), 300).format, OutputFormat::Mp4);
    EXPECT_EQ(PlanOutput((dir / "a.webp").string(), 300).format, OutputFormat::Webp);
    EXPECT_EQ(PlanOutput((dir / "a.WebP").string(), 300).format, OutputFormat::Webp);
    EXPECT_EQ(PlanOutput((dir / "a.mp4").string(), 1).format, OutputFormat::Mp4)
        << "one frame is a one-frame video when a video is asked for";
}

TEST(OutputPlanTest, FoldersNamesWithoutExtensionAndStandardOutputArePngs) {
    TempDir dir;
    EXPECT_EQ(PlanOutput((dir / "frames").string(), 3).format, OutputFormat::Png);
    EXPECT_EQ(PlanOutput("-", 1).format, OutputFormat::Png);
    std::filesystem::create_directory(dir / "shots.mp4");
    EXPECT_EQ(PlanOutput((dir / "shots.mp4").string(), 3).format, OutputFormat::Png)
        << "an existing folder holds frames whatever its name";
}

TEST(OutputPlanTest, DefaultsAreOnePngOrAFolder) {
    EXPECT_EQ(PlanOutput(std::nullopt, 1).path, "quellmark.png");
    EXPECT_EQ(PlanOutput(std::nullopt, 2).path, "quellmark-frames");
    EXPECT_EQ(PlanOutput(std::nullopt, 2).format, OutputFormat::Png);
}

TEST(OutputPlanTest, RefusesWhatNoFormatTakes) {
    TempDir dir;
    EXPECT_THROW(PlanOutput((dir / "a.gif").string(), 2), InputError) << "unknown extension";
    EXPECT_THROW(PlanOutput((dir / "missing" / "a.mp4").string(), 2), InputError)
        << "a video in a folder that does not exist";
}

TEST(WebpAnimationTest, FrameDurationsAddUpToTheFramesTimes) {
    for (const int rate : {60, 24, 30, 7}) {
        int total = 0;
        for (int i = 0; i < rate; ++i) {
            const int ms = WebpAnimation::FrameMilliseconds(i, rate);
            EXPECT_TRUE(ms == 1000 / rate || ms == 1000 / rate + 1)
                << "frame " << i << " at " << rate << " per second lasts " << ms << " ms";
            total += ms;
        }
        EXPECT_EQ(total, 1000) << rate << " frames at " << rate << " per second";
    }
}

} // namespace
} // namespace sandbox
