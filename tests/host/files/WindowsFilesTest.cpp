// The file layer's Windows side: a writer without commit changes nothing, a
// read-only file is refused untouched, a device is written straight into,
// limits hold, and names beyond ASCII work. (Replacement itself is tested on
// every platform, in ReplacementTest.cpp.)
#include <windows.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "FileChecks.h"
#include "files/FileError.h"
#include "files/InputFile.h"
#include "files/OutputFile.h"
#include "support/TempDir.h"

namespace {

using testsupport::TempDir;

const files::WriteRules kOutput{"output", false};
const files::ReadRules kSmall{"config", 64, false};

TEST(WindowsFilesTest, AWriterWithoutCommitChangesNothing) {
    TempDir dir;
    const auto target = dir.Write("out.txt", "old");
    {
        files::OutputFile file(target, kOutput);
        file.Write("half of it");
        EXPECT_TRUE(std::filesystem::exists(files::TemporaryFor(target)));
    }
    EXPECT_EQ(filestest::Content(target), "old");
    EXPECT_FALSE(std::filesystem::exists(files::TemporaryFor(target)));
}

TEST(WindowsFilesTest, WhatMustNotBeReplacedIsRefusedUntouched) {
    TempDir dir;
    const auto readOnly = dir.Write("locked.txt", "keep");
    ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_THROW(files::WriteFile(readOnly, "lost", kOutput), files::Refused);
    EXPECT_EQ(filestest::Content(readOnly), "keep");
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsFilesTest, TheNullDeviceIsWrittenStraightInto) {
    files::WriteFile("NUL", "into nothing", kOutput);
    EXPECT_FALSE(std::filesystem::exists(files::TemporaryFor("NUL")));
}

TEST(WindowsFilesTest, ReadsRefuseWhatIsLargerOrNotAFile) {
    TempDir dir;
    EXPECT_EQ(files::ReadFile(dir.Write("a.cfg", std::string(64, 'x')), kSmall).size(), 64u);
    EXPECT_THROW(files::ReadFile(dir.Write("b.cfg", std::string(65, 'x')), kSmall), files::Refused);
    EXPECT_THROW(files::ReadFile(dir.Path(), kSmall), files::Refused);
    EXPECT_THROW(files::ReadFile(dir / "absent.cfg", kSmall), files::Refused);
    files::InputFile file(dir.Write("c.bin", "0123456789"), kSmall);
    EXPECT_EQ(file.ReadAt(4, 3), "456");
    EXPECT_EQ(file.ReadAt(8, 10), "89") << "fewer bytes only at the end";
}

TEST(WindowsFilesTest, NamesBeyondAsciiRoundTrip) {
    TempDir dir;
    const std::filesystem::path name = dir.Path() / u8"r\u00e9glage-\u03bb.cfg";
    files::WriteFile(name, "qm_enabled \"1\"\n", kOutput);
    EXPECT_EQ(filestest::Content(name), "qm_enabled \"1\"\n");
}

} // namespace
