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

// What PlanOutput says refusing `out` for `frames` frames; empty if it takes it.
std::string Refusal(const std::string& out, int frames) {
    try {
        PlanOutput(out, frames);
    } catch (const InputError& error) {
        return error.what();
    }
    return "";
}

// The videos this build writes, as messages and help name them.
std::string Videos([[maybe_unused]] const std::string& stem) {
    std::string names;
#ifdef QUELLMARK_MP4_OUTPUT
    names = stem + ".mp4";
#endif
#ifdef QUELLMARK_WEBP_OUTPUT
    names += (names.empty() ? "" : " or ") + stem + ".webp";
#endif
    return names;
}

TEST(OutputPlanTest, RefusesWhatNoFormatTakesNamingWhatWould) {
    TempDir dir;
    std::string list = "NAME.png, ";
#ifdef QUELLMARK_MP4_OUTPUT
    list += "NAME.mp4, ";
#endif
#ifdef QUELLMARK_WEBP_OUTPUT
    list += "NAME.webp, ";
#endif
    list += "a folder, or - for standard output";
    EXPECT_EQ(OutputFormatList(), list) << "the help's line, with the videos this build writes";
    EXPECT_EQ(Refusal((dir / "a.gif").string(), 2),
              "--out " + (dir / "a.gif").string() + ": unknown format '.gif': use " + list);
#ifdef QUELLMARK_MP4_OUTPUT
    EXPECT_NE(Refusal((dir / "missing" / "a.mp4").string(), 2).find("does not exist"),
              std::string::npos)
        << "a video in a folder that does not exist";
#endif

    // Several frames for a target of one: the folder and the videos they
    // could go to, named after it.
    const std::string f90 = (dir / "f90").string();
    const std::string videos = Videos(f90).empty() ? "" : " or a video (" + Videos(f90) + ")";
    EXPECT_EQ(Refusal(f90 + ".png", 90), "--out " + f90 + ".png: a .png file takes one frame; 90 " +
                                             "frames go into a folder (" + f90 + ")" + videos);
    EXPECT_NE(Refusal(f90 + ".PNG", 90).find("a .png file takes one frame"), std::string::npos)
        << "the extension is read without regard to case";
    EXPECT_NE(Refusal("-", 3).find(
                  "standard output takes one frame; 3 frames go into a folder" +
                  (Videos("NAME").empty() ? "" : " or a video (" + Videos("NAME") + ")")),
              std::string::npos)
        << Refusal("-", 3);
    const auto file = dir.Write("plain", "a file");
    EXPECT_NE(Refusal(file.string(), 3).find("it is not a folder; 3 frames go into a folder"),
              std::string::npos)
        << Refusal(file.string(), 3);
    EXPECT_EQ(Refusal(f90 + ".png", 1), "") << "one frame into a .png file";
}

} // namespace
} // namespace sandbox
