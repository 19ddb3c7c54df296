// Files that are not regular files: read never (a FIFO with no writer would
// hang the reader, /dev/zero would fill the memory); written straight into
// when they are devices or FIFOs, as a shell's redirection would; refused
// when writing could only damage them.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include <gtest/gtest.h>

#include "FileChecks.h"
#include "files/InputFile.h"
#include "files/OutputFile.h"
#include "support/TempDir.h"

namespace filestest {
namespace {

const files::ReadRules kScenario{"scenario", 1 << 20, false};
const files::WriteRules kOutput{"output", false};

TEST(SpecialFilesTest, ReadingRefusesEverythingButRegularFiles) {
    testsupport::TempDir dir;
    const auto fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A FIFO nobody writes to: refused at once, not waited on.
    ExpectFailure<files::Refused>([&] { files::ReadFile(fifo, kScenario); },
                                  {"scenario", "fifo", "FIFO", "not a regular file"});
    ExpectFailure<files::Refused>([&] { files::ReadFile("/dev/zero", kScenario); },
                                  {"/dev/zero", "character device"});
    ExpectFailure<files::Refused>([&] { files::ReadFile(dir.Path(), kScenario); }, {"directory"});
    ExpectFailure<files::Refused>([&] { files::ReadFile(dir / "absent", kScenario); },
                                  {"absent", "no such file"});
    // A link is read through, to what it names.
    dir.Write("real.json", "{}");
    std::filesystem::create_symlink("real.json", dir / "link.json");
    EXPECT_EQ(files::ReadFile(dir / "link.json", kScenario), "{}");
    std::filesystem::create_symlink("/dev/zero", dir / "zero.json");
    ExpectFailure<files::Refused>([&] { files::ReadFile(dir / "zero.json", kScenario); },
                                  {"character device"});
}

TEST(SpecialFilesTest, DevicesAreWrittenIntoAndStayDevices) {
    const mode_t before = ModeOf("/dev/null");
    ASSERT_TRUE(S_ISCHR(before));
    files::WriteFile("/dev/null", "a picture", kOutput);
    EXPECT_EQ(ModeOf("/dev/null"), before) << "/dev/null was replaced";

    ExpectFailure<files::WriteFailed>([] { files::WriteFile("/dev/full", "data", kOutput); },
                                      {"/dev/full", "No space left on device"});
    EXPECT_TRUE(S_ISCHR(ModeOf("/dev/full")));
}

TEST(SpecialFilesTest, AFifoIsWrittenIntoWhileSomeoneReadsIt) {
    testsupport::TempDir dir;
    const auto fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    files::WriteFile(fifo, "through the pipe", kOutput);
    char received[64] = {};
    EXPECT_EQ(::read(reader, received, sizeof received), 16);
    EXPECT_STREQ(received, "through the pipe");
    ::close(reader);
    EXPECT_TRUE(S_ISFIFO(ModeOf(fifo)));

    // Nobody reading: a prompt failure instead of waiting for a reader.
    ExpectFailure<files::WriteFailed>([&] { files::WriteFile(fifo, "data", kOutput); },
                                      {"fifo", "no process is reading"});
    EXPECT_TRUE(S_ISFIFO(ModeOf(fifo))) << "the FIFO was replaced";
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"fifo"});
}

// Opened without blocking so that a FIFO nobody reads fails at once; once it
// is open, a full pipe waits for its reader, as any write would.
TEST(SpecialFilesTest, AFifoWaitsForASlowReader) {
    testsupport::TempDir dir;
    const auto fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(::fcntl(reader, F_SETFL, 0), 0);
    const int buffer = ::fcntl(reader, F_GETPIPE_SZ);
    ASSERT_GT(buffer, 0);
    std::string sent(static_cast<std::size_t>(buffer) * 4, '\0');
    for (std::size_t i = 0; i < sent.size(); ++i) {
        sent[i] = static_cast<char>('a' + i % 26);
    }
    std::string received;
    std::thread slowReader([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        char block[4096];
        ssize_t n = 0;
        while ((n = ::read(reader, block, sizeof block)) > 0) {
            received.append(block, static_cast<std::size_t>(n));
        }
    });
    EXPECT_NO_THROW(files::WriteFile(fifo, sent, kOutput));
    slowReader.join();
    ::close(reader);
    EXPECT_EQ(received.size(), sent.size());
    EXPECT_TRUE(received == sent) << "the bytes came out changed";
}

TEST(SpecialFilesTest, DirectoriesSocketsAndBlockDevicesAreRefused) {
    testsupport::TempDir dir;
    std::filesystem::create_directory(dir / "folder");
    dir.Write("folder/inside", "kept");
    ExpectFailure<files::Refused>([&] { files::WriteFile(dir / "folder", "data", kOutput); },
                                  {"folder", "a directory"});
    EXPECT_EQ(Content(dir / "folder" / "inside"), "kept");

    const auto socketPath = dir / "socket";
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
    ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ExpectFailure<files::Refused>([&] { files::WriteFile(socketPath, "data", kOutput); },
                                  {"a socket"});
    EXPECT_TRUE(S_ISSOCK(ModeOf(socketPath)));
    ::close(listening);

    // A block device node for a device number no driver has: should the
    // refusal ever fail, opening it fails too, and no disk is touched.
    const auto block = dir / "block";
    if (::mknod(block.c_str(), S_IFBLK | 0600, makedev(259, 1048000)) != 0) {
        GTEST_SKIP() << "cannot make a block device node here (not root?)";
    }
    ExpectFailure<files::Refused>([&] { files::WriteFile(block, "data", kOutput); },
                                  {"a block device"});
    EXPECT_TRUE(S_ISBLK(ModeOf(block)));
    EXPECT_EQ(Names(dir.Path()), (std::set<std::string>{"block", "folder", "socket"}));
}

} // namespace
} // namespace filestest
