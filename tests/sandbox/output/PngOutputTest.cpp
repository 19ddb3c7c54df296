// A folder of PNG frames changes only when a whole run succeeds: a run that
// fails or is stopped half way leaves the frames of the last good run and no
// temporary; one frame into an existing folder is a frame there too.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "ProgramRun.h"
#include "files/FileError.h"
#include "output/PngOutput.h"

namespace sandbox {
namespace {

namespace fs = std::filesystem;
using sandboxtest::ReadFile;
using sandboxtest::TempDir;

// A small frame of one colour, so each run's frames can be told apart.
Image Plain(unsigned char shade) {
    return Image{4, 3, std::vector<unsigned char>(4 * 3 * 4, shade)};
}

// Every entry of `folder`, hidden ones too, with its content.
std::map<std::string, std::string> Contents(const fs::path& folder) {
    std::map<std::string, std::string> contents;
    for (const auto& entry : fs::directory_iterator(folder)) {
        contents[entry.path().filename().string()] =
            entry.is_regular_file() ? ReadFile(entry.path()) : "(not a file)";
    }
    return contents;
}

class PngOutputTest : public ::testing::Test {
protected:
    // Renders `frames` frames of `shade` into `folder`; an error ends it early.
    void Run(const fs::path& folder, int frames, unsigned char shade) {
        PngOutput output({folder, OutputFormat::Png}, frames, false, messages);
        for (int frame = 1; frame <= frames; ++frame) {
            output.Add(Plain(shade));
        }
        output.Finish();
    }
    std::string Messages() {
        std::fflush(messages);
        std::rewind(messages);
        std::string text(4096, '\0');
        text.resize(std::fread(text.data(), 1, text.size(), messages));
        return text;
    }

    TempDir dir;
    std::FILE* messages = std::tmpfile();
    ~PngOutputTest() override { std::fclose(messages); }
};

TEST_F(PngOutputTest, AStoppedRunLeavesTheFramesOfTheLastGoodRun) {
    const fs::path folder = dir / "fr";
    Run(folder, 10, 200);
    const auto good = Contents(folder);
    ASSERT_EQ(good.size(), 10u);
    {
        PngOutput output({folder, OutputFormat::Png}, 40, false, messages);
        for (int frame = 1; frame <= 15; ++frame) {
            output.Add(Plain(90));
        }
        // Dropped without Finish, as when drawing fails.
    }
    EXPECT_EQ(Contents(folder), good);
}

#ifdef READFAULT_LIBRARY
// The interposed write (tests/host/files/ReadFault.cpp) is linked into this
// program: the disk fills up on the 23rd frame's file.
TEST_F(PngOutputTest, AFailedRunLeavesTheFramesOfTheLastGoodRun) {
    const fs::path folder = dir / "fr";
    Run(folder, 10, 200);
    const auto good = Contents(folder);
    ::setenv("QUELLMARK_TEST_WRITE_FAULT", "frame-0023", 1);
    std::string error;
    try {
        Run(folder, 40, 90);
    } catch (const files::WriteFailed& failed) {
        error = failed.what();
    }
    EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
    EXPECT_EQ(Contents(folder), good);

    // Folders the failed run made for its frames go with it, once empty.
    ::setenv("QUELLMARK_TEST_WRITE_FAULT", "frame-0001", 1);
    error.clear();
    try {
        Run(dir / "new" / "frames", 2, 90);
    } catch (const files::WriteFailed& failed) {
        error = failed.what();
    }
    ::unsetenv("QUELLMARK_TEST_WRITE_FAULT");
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(fs::exists(dir / "new")) << "an empty folder was left behind";
}
#endif

TEST_F(PngOutputTest, AShorterRunReplacesTheFramesAndClearsWhatLongerRunsLeft) {
    const fs::path folder = dir / "fr";
    Run(folder, 10, 200);
    const std::string old = ReadFile(folder / "frame-0001.png");
    // What a killed run leaves: the temporary of a frame it had written.
    dir.Write("fr/" + files::TemporaryFor("frame-0031.png").string(), "part");
    const auto users = dir.Write("fr/.frame-0031.png.notes", "the user's");
    // Names this program does not give frames are the user's too.
    dir.Write("fr/frame-1.png", "not a name this program gives");
    dir.Write("fr/notes.txt", "the user's");
    fs::create_directories(folder / "frame-0011.png");
#ifndef _WIN32
    // One that is a link is replaced, not written through.
    const auto elsewhere = dir.Write("elsewhere", "not a frame");
    fs::create_symlink(elsewhere, folder / files::TemporaryFor("frame-0002.png"));
#endif
    Run(folder, 4, 90);
    const auto now = Contents(folder);
    ASSERT_EQ(now.size(), 8u) << "four frames and the user's four entries";
    EXPECT_EQ(now.at("frame-1.png"), "not a name this program gives");
    EXPECT_EQ(now.at("notes.txt"), "the user's");
    EXPECT_EQ(now.at("frame-0011.png"), "(not a file)");
    for (int frame = 1; frame <= 4; ++frame) {
        EXPECT_EQ(now.at(FrameFileName(frame)), now.at("frame-0001.png"));
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder / FrameFileName(frame))));
    }
    EXPECT_NE(now.at("frame-0001.png"), old);
    EXPECT_TRUE(fs::exists(users));
#ifndef _WIN32
    EXPECT_EQ(ReadFile(elsewhere), "not a frame");
#endif
    EXPECT_EQ(Messages(), "removed 6 stale frames (frame-0005.png to frame-0010.png) left in " +
                              folder.string() + " by an earlier, longer run\n");
}

TEST_F(PngOutputTest, OneFrameIntoAnExistingFolderIsItsFirstFrame) {
    fs::create_directory(dir / "shots.png");
    Run(dir / "shots.png", 1, 200);
    EXPECT_EQ(Contents(dir / "shots.png").size(), 1u);
    EXPECT_EQ(ReadFile(dir / "shots.png" / "frame-0001.png").substr(1, 3), "PNG");
}

// Frames are renamed into place, so what a frame's name holds is checked
// first: a run that could not replace it all is not started.
TEST_F(PngOutputTest, AFrameNameHoldingAnythingButAWritableFileIsRefusedFirst) {
    const fs::path folder = dir / "fr";
    Run(folder, 3, 200);
    const fs::path second = folder / "frame-0002.png";
    auto refused = [&](const std::string& what) {
        try {
            PngOutput output({folder, OutputFormat::Png}, 3, false, messages);
            ADD_FAILURE() << what << " was taken";
        } catch (const files::Refused& error) {
            EXPECT_NE(std::string(error.what()).find("frame-0002.png': it is " + what),
                      std::string::npos)
                << error.what();
        }
    };
    fs::permissions(second, fs::perms::owner_read);
    refused("read-only");
    fs::permissions(second, fs::perms::owner_all); // Windows removes no read-only file
    fs::remove(second);
    fs::create_directory(second);
    refused("a folder");
#ifndef _WIN32
    fs::remove(second);
    fs::create_symlink("frame-0001.png", second);
    refused("a symbolic link");
#endif
    EXPECT_NO_THROW(PngOutput({folder, OutputFormat::Png}, 1, false, messages))
        << "a frame this run does not write may be anything";
}

} // namespace
} // namespace sandbox
