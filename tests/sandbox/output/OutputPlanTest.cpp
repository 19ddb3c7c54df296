// Which output --out names: the extension picks the format, a folder is a
// PNG sequence, anything else is refused before a frame is drawn.
#include <gtest/gtest.h>

#include "ProgramRun.h"
#include "base/InputError.h"
#include "output/OutputPlan.h"

namespace sandbox {
namespace {

using sandboxtest::TempDir;

TEST(OutputPlanTest, ExtensionPicksTheFormat) {
    TempDir dir;
    EXPECT_EQ(PlanOutput((dir / "a.png").string(), 1).format, OutputFormat::Png);
#ifdef QUELLMARK_MP4_OUTPUT
    EXPECT_EQ(PlanOutput((dir / "a.mp4").string(), 300).format, OutputFormat::Mp4);
    EXPECT_EQ(PlanOutput((dir / "a.mp4").string(), 1).format, OutputFormat::Mp4)
        << "one frame is a one-frame video when a video is asked for";
#endif
#ifdef QUELLMARK_WEBP_OUTPUT
    EXPECT_EQ(PlanOutput((dir / "a.webp").string(), 300).format, OutputFormat::Webp);
    EXPECT_EQ(PlanOutput((dir / "a.WebP").string(), 300).format, OutputFormat::Webp);
#endif
}

#if !defined(QUELLMARK_MP4_OUTPUT) || !defined(QUELLMARK_WEBP_OUTPUT)
// A build without an encoder refuses its format as bad input, naming what is
// missing, rather than failing once frames are drawn.
void ExpectNoEncoder(const std::filesystem::path& path, const std::string& missing) {
    try {
        PlanOutput(path.string(), 2);
        ADD_FAILURE() << path << " was accepted by a build without " << missing;
    } catch (const InputError& error) {
        EXPECT_NE(std::string(error.what()).find("built without " + missing), std::string::npos)
            << error.what();
    }
}

TEST(OutputPlanTest, RefusesFormatsThisBuildHasNoEncoderFor) {
    TempDir dir;
#ifndef QUELLMARK_MP4_OUTPUT
    ExpectNoEncoder(dir / "a.mp4", "FFmpeg");
    ExpectNoEncoder(dir / "a.MP4", "FFmpeg");
#endif
#ifndef QUELLMARK_WEBP_OUTPUT
    ExpectNoEncoder(dir / "a.webp", "libwebp");
#endif
    EXPECT_EQ(PlanOutput((dir / "a.png").string(), 1).format, OutputFormat::Png);
}
#endif

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

} // namespace
} // namespace sandbox
