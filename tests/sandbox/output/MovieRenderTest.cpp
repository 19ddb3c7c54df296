// quellmark-sandbox render to one file of many frames: the format follows
// --out's extension, and each file is read back by the format's own reader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "MovieReader.h"
#include "PngPixels.h"
#include "ProgramRun.h"

namespace sandboxtest {
namespace {

// The mean difference of two RGB pictures of the same size, in levels.
double MeanDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
    if (a.size() != b.size() || a.empty()) {
        return 255.0;
    }
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        sum += std::abs(int(a[i]) - int(b[i]));
    }
    return sum / double(a.size());
}

Picture AsPicture(const Movie& movie, const std::vector<unsigned char>& rgb) {
    return Picture{movie.width, movie.height, rgb};
}

class SandboxMovieTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The embedded default's first and 60th frames as PNGs: what the
        // videos must show.
        pngs = new TempDir;
        const RunResult run = RunSandbox(
            {"render", "--frames", "60", "--out", (pngs->Path() / "frames").string()}, *pngs);
        ASSERT_EQ(run.status, 0) << run.err;
        first = LoadPicture(pngs->Path() / "frames" / "frame-0001.png");
        last = LoadPicture(pngs->Path() / "frames" / "frame-0060.png");
        for (int frame = 1; frame <= 60; ++frame) {
            char name[32];
            std::snprintf(name, sizeof name, "frame-%04d.png", frame);
            pngHashes.push_back(RgbHash(LoadPicture(pngs->Path() / "frames" / name).rgb));
        }
    }
    static void TearDownTestSuite() {
        delete pngs;
        pngs = nullptr;
    }

    RunResult Render(const std::string& out, std::vector<std::string> extra = {}) {
        std::vector<std::string> arguments = {"render", "--out", (dir / out).string()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return RunSandbox(arguments, dir);
    }

    static TempDir* pngs;
    static Picture first;
    static Picture last;
    static std::vector<std::uint64_t> pngHashes;
    TempDir dir;
};

TempDir* SandboxMovieTest::pngs = nullptr;
Picture SandboxMovieTest::first;
Picture SandboxMovieTest::last;
std::vector<std::uint64_t> SandboxMovieTest::pngHashes;

TEST_F(SandboxMovieTest, SixtyFramesToMp4AreSixtyH264FramesAtSixtyPerSecond) {
    const RunResult run = Render("run.mp4", {"--frames", "60"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find((dir / "run.mp4").string()), std::string::npos) << run.out;
    const Movie movie = ReadMp4(dir / "run.mp4");
    ASSERT_EQ(movie.error, "");
    EXPECT_EQ(movie.codec, "h264");
    EXPECT_EQ(movie.frames, 60);
    EXPECT_EQ(movie.width, 1280);
    EXPECT_EQ(movie.height, 720);
    EXPECT_NEAR(movie.framesPerSecond, 60.0, 0.01);
    // H.264 is lossy: the frames look like the PNGs, not byte for byte.
    ASSERT_EQ(first.width, 1280);
    EXPECT_LT(MeanDifference(movie.firstRgb, first.rgb), 3.0) << "frame 1 differs from its PNG";
    EXPECT_LT(MeanDifference(movie.lastRgb, last.rgb), 3.0) << "frame 60 differs from its PNG";
    EXPECT_GT(MeanDifference(movie.firstRgb, movie.lastRgb), 1.0)
        << "the ball tours the field, so the last frame is not the first";
    EXPECT_GT(AsPicture(movie, movie.firstRgb).RedPixels(), 100) << "the overlay shows";
}

TEST_F(SandboxMovieTest, SixtyFramesToWebpAreTheSixtyPngFramesExactly) {
    const RunResult run = Render("run.webp", {"--frames", "60"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Movie movie = ReadAnimatedWebp(dir / "run.webp");
    ASSERT_EQ(movie.error, "");
    EXPECT_EQ(movie.frames, 60);
    EXPECT_EQ(movie.width, 1280);
    EXPECT_EQ(movie.height, 720);
    // Lossless: every pixel of every frame as in the PNGs (the ball moves in
    // each, so none is merged into the one before).
    EXPECT_TRUE(movie.firstRgb == first.rgb) << "frame 1 differs from its PNG";
    EXPECT_TRUE(movie.lastRgb == last.rgb) << "frame 60 differs from its PNG";
    ASSERT_EQ(movie.frameHashes.size(), pngHashes.size());
    for (std::size_t i = 0; i < pngHashes.size(); ++i) {
        EXPECT_EQ(movie.frameHashes[i], pngHashes[i]) << "frame " << i + 1 << " differs";
    }
    // 17, 16, 17, ... ms: frame i ends at i / 60 s, rounded to the millisecond.
    ASSERT_EQ(movie.frameEnds.size(), 60u);
    EXPECT_EQ(std::vector<int>(movie.frameEnds.begin(), movie.frameEnds.begin() + 3),
              (std::vector<int>{17, 33, 50}));
    for (int i = 1; i <= 60; ++i) {
        EXPECT_EQ(movie.frameEnds[i - 1], (2000 * i + 60) / 120) << "frame " << i;
    }
}

TEST_F(SandboxMovieTest, OddCanvasGivesAnMp4OnePixelLargerAndAWebpOfTheSameSize) {
    const std::string scenario = R"({"canvas": [641, 359],
 "camera": {"location": [0, -6000, 800], "rotation": [-2000, 16384, 0]},
 "ball": [0, 0, 93], "cvars": {"qm_enabled": "1"}, "frames": 3})";
    const std::string path = dir.Write("odd.json", scenario).string();
    ASSERT_EQ(Render("odd.mp4", {"--scenario", path}).status, 0);
    const Movie video = ReadMp4(dir / "odd.mp4");
    ASSERT_EQ(video.error, "");
    EXPECT_EQ(video.frames, 3);
    EXPECT_EQ(video.width, 642);
    EXPECT_EQ(video.height, 360);
    // The picture's last column and row, and the added ones repeating them,
    // show what the PNG shows there.
    ASSERT_EQ(Render("odd.png", {"--scenario", path, "--frames", "1"}).status, 0);
    const Picture png = LoadPicture(dir / "odd.png");
    ASSERT_EQ(png.width, 641);
    auto difference = [&](int videoX, int videoY, int pngX, int pngY, int steps, int dx, int dy) {
        double sum = 0.0;
        for (int i = 0; i < steps; ++i) {
            const int v = ((videoY + i * dy) * 642 + videoX + i * dx) * 3;
            const int p = ((pngY + i * dy) * 641 + pngX + i * dx) * 3;
            for (int c = 0; c < 3; ++c) {
                sum += std::abs(int(video.firstRgb[v + c]) - int(png.rgb[p + c]));
            }
        }
        return sum / (steps * 3);
    };
    EXPECT_LT(difference(640, 0, 640, 0, 359, 0, 1), 6.0) << "the last column";
    EXPECT_LT(difference(641, 0, 640, 0, 359, 0, 1), 6.0) << "the added column";
    EXPECT_LT(difference(0, 358, 0, 358, 641, 1, 0), 6.0) << "the last row";
    EXPECT_LT(difference(0, 359, 0, 358, 641, 1, 0), 6.0) << "the added row";

    ASSERT_EQ(Render("odd.webp", {"--scenario", path}).status, 0);
    const Movie animation = ReadAnimatedWebp(dir / "odd.webp");
    ASSERT_EQ(animation.error, "");
    EXPECT_EQ(animation.frames, 3);
    EXPECT_EQ(animation.width, 641);
    EXPECT_EQ(animation.height, 359);
}

TEST_F(SandboxMovieTest, OneFrameMakesAOneFrameVideo) {
    ASSERT_EQ(Render("one.mp4").status, 0);
    EXPECT_EQ(ReadMp4(dir / "one.mp4").frames, 1);
    ASSERT_EQ(Render("one.webp").status, 0);
    EXPECT_EQ(ReadAnimatedWebp(dir / "one.webp").frames, 1);
}

TEST_F(SandboxMovieTest, ExtensionIsReadWithoutRegardToCase) {
    ASSERT_EQ(Render("upper.MP4", {"--frames", "2"}).status, 0);
    EXPECT_EQ(ReadMp4(dir / "upper.MP4").frames, 2);
}

TEST_F(SandboxMovieTest, SeveralFramesIntoAFolderOrANameWithoutExtensionArePngs) {
    std::filesystem::create_directory(dir / "existing.d");
    ASSERT_EQ(Render("existing.d", {"--frames", "2"}).status, 0);
    EXPECT_EQ(LoadPicture(dir / "existing.d" / "frame-0002.png").width, 1280);

    ASSERT_EQ(Render("plain", {"--frames", "2"}).status, 0);
    EXPECT_EQ(LoadPicture(dir / "plain" / "frame-0002.png").width, 1280);
}

TEST_F(SandboxMovieTest, UnknownExtensionIsBadInputAndWritesNothing) {
    for (const char* name : {"run.gif", "run.avi", "run.jpeg"}) {
        const RunResult run = Render(name, {"--frames", "2"});
        EXPECT_EQ(run.status, 2) << name << ": " << run.err;
        EXPECT_NE(run.err.find("unknown format"), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find("loaded"), std::string::npos)
            << "refused before the module is loaded: " << run.out;
        EXPECT_FALSE(std::filesystem::exists(dir / name)) << name;
    }
}

TEST_F(SandboxMovieTest, AVideoIntoAMissingFolderIsBadInput) {
    const RunResult run = Render("missing/run.mp4", {"--frames", "2"});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("does not exist"), std::string::npos) << run.err;
}

} // namespace
} // namespace sandboxtest
