// A replaced file keeps who may read and write it; a file its owner made
// read-only is not replaced at all.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "FileChecks.h"
#include "files/OutputFile.h"
#include "support/TempDir.h"

namespace filestest {
namespace {

const files::WriteRules kConfig{"config", false};

// Sets the process's umask for one test.
class Umask {
public:
    explicit Umask(mode_t mask) : previous_(::umask(mask)) {}
    ~Umask() { ::umask(previous_); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    mode_t previous_;
};

TEST(PermissionsTest, AReplacedFileKeepsItsMode) {
    testsupport::TempDir dir;
    const Umask mask(022);
    // The set-user-ID, set-group-ID and sticky bits too: the whole mode.
    for (const mode_t mode : {0640, 0600, 0664, 0755, 0200, 04755, 02750, 01644, 07777}) {
        const auto path = dir.Write("kept.cfg", "old");
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        files::WriteFile(path, "new", kConfig);
        EXPECT_EQ(Content(path), "new");
        EXPECT_EQ(ModeOf(path) & 07777, mode) << std::oct << "mode 0" << mode << " was changed";
    }
}

TEST(PermissionsTest, ANewFileGetsTheUsualModeLessTheUmask) {
    testsupport::TempDir dir;
    const Umask mask(027);
    files::WriteFile(dir / "new.cfg", "content", kConfig);
    EXPECT_EQ(ModeOf(dir / "new.cfg") & 07777, 0640u);
}

TEST(PermissionsTest, AReadOnlyFileIsRefusedAndLeftAlone) {
    testsupport::TempDir dir;
    const auto path = dir.Write("locked.cfg", "precious");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    struct stat before {};
    ::stat(path.c_str(), &before);

    // Root may write anywhere, and is refused all the same: read-only is the
    // owner's word.
    ExpectFailure<files::Refused>([&] { files::WriteFile(path, "new", kConfig); },
                                  {"locked.cfg", "read-only", "0444"});

    struct stat after {};
    ::stat(path.c_str(), &after);
    EXPECT_EQ(Content(path), "precious");
    EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced";
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"locked.cfg"});
}

TEST(PermissionsTest, AReplacedFileKeepsItsOwnerAndGroup) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a file to another user needs root";
    }
    testsupport::TempDir dir;
    const auto path = dir.Write("theirs.cfg", "old");
    constexpr uid_t kNobody = 65534;
    constexpr gid_t kNogroup = 65534;
    ASSERT_EQ(::chown(path.c_str(), kNobody, kNogroup), 0);
    // Giving a file away clears its set-ID bits: they are set again after.
    ASSERT_EQ(::chmod(path.c_str(), 06770), 0);

    files::WriteFile(path, "new", kConfig);

    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(Content(path), "new");
    EXPECT_EQ(after.st_uid, kNobody);
    EXPECT_EQ(after.st_gid, kNogroup);
    EXPECT_EQ(after.st_mode & 07777, 06770u);
}

} // namespace
} // namespace filestest
