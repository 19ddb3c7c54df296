// Read and write errors, made on request by the interposed read and write
// (ReadFault.cpp, linked into this program): a read error is never taken for
// the end of a file, and a write that fails leaves what was there.
#include <cstdlib>

#include <gtest/gtest.h>

#include "FileChecks.h"
#include "files/InputFile.h"
#include "files/OutputFile.h"
#include "support/TempDir.h"

namespace filestest {
namespace {

// Sets one of the interposer's variables for one test.
class Fault {
public:
    Fault(const char* variable, const std::string& rule) : variable_(variable) {
        ::setenv(variable, rule.c_str(), 1);
    }
    ~Fault() { ::unsetenv(variable_); }
    Fault(const Fault&) = delete;
    Fault& operator=(const Fault&) = delete;

private:
    const char* variable_;
};

const files::ReadRules kConfig{"config", 1 << 20, false};

TEST(ReadErrorsTest, AFailingFirstReadIsAnError) {
    testsupport::TempDir dir;
    const auto path = dir.Write("failing.cfg", "qm_enabled \"1\"\n");
    const Fault fault("QUELLMARK_TEST_READ_FAULT", "failing.cfg");
    ExpectFailure<files::Refused>([&] { files::ReadFile(path, kConfig); },
                                  {"config", "failing.cfg", "read error", "Input/output error"});
}

TEST(ReadErrorsTest, AnErrorPartWayIsNotTheEndOfTheFile) {
    testsupport::TempDir dir;
    const auto path = dir.Write("failing.cfg", std::string(100000, 'x'));
    {
        const Fault fault("QUELLMARK_TEST_READ_FAULT", "failing.cfg@70000");
        ExpectFailure<files::Refused>([&] { files::ReadFile(path, kConfig); },
                                      {"read error", "Input/output error"});
    }
    EXPECT_EQ(files::ReadFile(path, kConfig).size(), 100000u) << "without the fault it reads";
}

TEST(ReadErrorsTest, AHeaderReadThatFailsIsAnError) {
    testsupport::TempDir dir;
    const auto path = dir.Write("failing.so", std::string(4096, 'x'));
    files::InputFile file(path, {"module", 1 << 20, false});
    EXPECT_EQ(file.ReadAt(4000, 200).size(), 96u) << "short only at the end";
    const Fault fault("QUELLMARK_TEST_READ_FAULT", "failing.so@1000");
    EXPECT_EQ(file.ReadAt(0, 1000).size(), 1000u);
    ExpectFailure<files::Refused>([&] { file.ReadAt(900, 200); }, {"module", "Input/output error"});
}

TEST(WriteErrorsTest, AWriteThatFailsLeavesTheOldFileAndNoTemporary) {
    testsupport::TempDir dir;
    const auto path = dir.Write("out.png", "the old picture");
    {
        const Fault fault("QUELLMARK_TEST_WRITE_FAULT", "out.png@1000");
        ExpectFailure<files::WriteFailed>(
            [&] {
                files::WriteFile(path, std::string(5000, 'p'), {"output", false});
            },
            {"output", "out.png", "No space left on device"});
    }
    EXPECT_EQ(Content(path), "the old picture");
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"out.png"})
        << "the temporary file was left behind";
}

TEST(SizeLimitTest, AFileUpToTheLimitIsReadAndOneByteMoreIsRefused) {
    testsupport::TempDir dir;
    const files::ReadRules rules{"scenario", 4096, false};
    EXPECT_EQ(files::ReadFile(dir.Write("fits.json", std::string(4096, ' ')), rules).size(), 4096u);
    ExpectFailure<files::Refused>(
        [&] { files::ReadFile(dir.Write("over.json", std::string(4097, ' ')), rules); },
        {"over.json", "4097 bytes", "more than the 4 KiB a scenario may have"});
}

TEST(SizeLimitTest, LimitsAreWrittenInTheirLargestWholeUnit) {
    EXPECT_EQ(files::SizeText(16 * 1024 * 1024), "16 MiB");
    EXPECT_EQ(files::SizeText(1024 * 1024), "1 MiB");
    EXPECT_EQ(files::SizeText(1536), "1536 bytes");
    EXPECT_EQ(files::SizeText(2048), "2 KiB");
}

} // namespace
} // namespace filestest
