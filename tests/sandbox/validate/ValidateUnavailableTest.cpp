// The Windows build has no validator: the command must say so plainly and
// exit with the bad-input status, whatever options it is given.

#include <gtest/gtest.h>

#include "ProgramRun.h"

using sandboxtest::RunSandbox;
using sandboxtest::TempDir;

TEST(ValidateUnavailableTest, SaysWhyAndExitsTwo) {
    TempDir home;
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"validate"}, {"validate", "--list"}, {"validate", "--cycles", "3"}}) {
        const auto run = RunSandbox(arguments, home);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("not available in the Windows build"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("run it on Linux"), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << "nothing that looks like a result: " << run.out;
    }
}
