// The window's watch on the module file: a rebuild is noticed once, and only
// after the file has stopped changing.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "ProgramRun.h"
#include "window/ModuleWatcher.h"

namespace sandbox {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using sandboxtest::TempDir;

constexpr auto kSettle = 60ms;

// Polls as the window does, once a frame, for at most `limit`.
bool ChangedWithin(ModuleWatcher& watcher, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (watcher.Changed()) {
            return true;
        }
        std::this_thread::sleep_for(5ms);
    }
    return false;
}

TEST(ModuleWatcherTest, AFileRenamedOverTheModuleIsReportedOnce) {
    TempDir dir;
    const fs::path module = dir.Write("Quellmark.so", "old build");
    ModuleWatcher watcher(module, kSettle);
    ASSERT_TRUE(watcher.Watching());
    EXPECT_FALSE(ChangedWithin(watcher, 200ms)) << "nothing changed yet";

    dir.Write("Quellmark.so.tmp", "new build");
    fs::rename(dir / "Quellmark.so.tmp", module);
    EXPECT_TRUE(ChangedWithin(watcher, 3000ms)) << "the replacement was not noticed";
    EXPECT_FALSE(ChangedWithin(watcher, 300ms)) << "one rebuild, one report";
}

TEST(ModuleWatcherTest, AFileStillBeingWrittenIsNotReportedUntilItSettles) {
    TempDir dir;
    const fs::path module = dir.Write("Quellmark.so", "old build");
    // A slow writer: a piece every 20 ms for half a second, ten times closer
    // together than the settling time (a busy machine may stall the writer).
    ModuleWatcher watcher(module, 200ms);
    std::ofstream out(module, std::ios::binary | std::ios::trunc);
    const auto writingEnds = std::chrono::steady_clock::now() + 500ms;
    while (std::chrono::steady_clock::now() < writingEnds) {
        out << std::string(1024, 'x') << std::flush;
        EXPECT_FALSE(watcher.Changed()) << "reported while the file was still being written";
        std::this_thread::sleep_for(20ms);
    }
    out.close();
    EXPECT_TRUE(ChangedWithin(watcher, 3000ms));
}

TEST(ModuleWatcherTest, OtherFilesInTheFolderAreIgnored) {
    TempDir dir;
    const fs::path module = dir.Write("Quellmark.so", "build");
    ModuleWatcher watcher(module, kSettle);
    dir.Write("libpluginsdk.so", "another library");
    dir.Write("Quellmark.so.d", "a dependency file");
    EXPECT_FALSE(ChangedWithin(watcher, 400ms));
}

TEST(ModuleWatcherTest, AModuleDeletedAndWrittenAgainIsReportedOnceItIsBack) {
    TempDir dir;
    const fs::path module = dir.Write("Quellmark.so", "old build");
    ModuleWatcher watcher(module, kSettle);
    fs::remove(module);
    EXPECT_FALSE(ChangedWithin(watcher, 300ms)) << "no module to load while it is missing";
    dir.Write("Quellmark.so", "new build");
    EXPECT_TRUE(ChangedWithin(watcher, 3000ms));
}

} // namespace
} // namespace sandbox
