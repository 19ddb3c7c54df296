// quellmark-sandbox's answers that run nothing: each command's help and the
// program's version, on stdout with status 0.
#include <gtest/gtest.h>

#include "ProgramRun.h"

namespace sandboxtest {
namespace {

TEST(SandboxHelpAndVersionTest, EveryCommandHasHelpOnStdout) {
    TempDir home;
    for (const char* command : {"render", "window", "validate"}) {
        for (const char* help : {"-h", "--help"}) {
            const RunResult run = RunSandbox({command, help}, home);
            EXPECT_EQ(run.status, 0) << command << " " << help << ": " << run.err;
            EXPECT_NE(run.out.find(std::string("usage: quellmark-sandbox ") + command),
                      std::string::npos)
                << command << " " << help << ":\n"
                << run.out;
            EXPECT_EQ(run.err, "") << command << " " << help;
        }
    }
    const RunResult program = RunSandbox({"--help"}, home);
    EXPECT_EQ(program.status, 0);
    for (const char* command : {"render", "window", "validate"}) {
        EXPECT_NE(program.out.find(command), std::string::npos) << program.out;
    }
}

TEST(SandboxHelpAndVersionTest, VersionIsTheOneTheModuleDeclares) {
    TempDir home;
    const RunResult version = RunSandbox({"--version"}, home);
    ASSERT_EQ(version.status, 0) << version.err;
    ASSERT_TRUE(version.out.starts_with("Quellmark ")) << version.out;
    const std::string text = version.out.substr(10, version.out.find('\n') - 10);

    // The module's descriptor, as the render command reports it on loading.
    const RunResult render = RunSandbox({"render", "--out", (home / "v.png").string()}, home);
    ASSERT_EQ(render.status, 0) << render.err;
    EXPECT_NE(render.out.find("version " + text + " from "), std::string::npos)
        << "--version said " << text << "; the module:\n"
        << render.out;
}

} // namespace
} // namespace sandboxtest
