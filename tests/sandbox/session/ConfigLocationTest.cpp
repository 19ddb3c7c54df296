// Where the config lives when no --config is given: by the platform's custom,
// from the environment the program starts with. (That a run saves it there:
// SandboxConfigTest.DefaultConfigLivesInTheUsersConfigDirectory.)

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "session/ConfigLocation.h"

namespace {

using sandbox::AppDataConfigPath;
using sandbox::DefaultConfigPath;
using sandbox::DefaultConfigPathHere;

TEST(ConfigLocationTest, UnderTheApplicationDataFolder) {
    const std::filesystem::path appData = std::filesystem::path("C:") / "Users" / "u" / "AppData";
    EXPECT_EQ(AppDataConfigPath(appData), appData / "quellmark" / "config.cfg");
    EXPECT_TRUE(AppDataConfigPath({}).empty()) << "no folder, no config";
}

TEST(ConfigLocationTest, UnderXdgConfigHomeElseTheHomesConfigFolder) {
    EXPECT_EQ(DefaultConfigPath("/x", "/h"), "/x/quellmark/config.cfg");
    EXPECT_EQ(DefaultConfigPath("", "/h"), "/h/.config/quellmark/config.cfg");
    EXPECT_EQ(DefaultConfigPath(nullptr, "/h"), "/h/.config/quellmark/config.cfg");
    EXPECT_TRUE(DefaultConfigPath(nullptr, nullptr).empty()) << "no folder, no config";
}

#if defined(_WIN32)
TEST(ConfigLocationTest, WindowsFollowsAppData) {
    const std::wstring folder = L"C:\\Users\\\u00e9l\u00e8ve\\AppData\\Roaming";
    _wputenv_s(L"APPDATA", folder.c_str());
    EXPECT_EQ(DefaultConfigPathHere().wstring(), folder + L"\\quellmark\\config.cfg")
        << "a folder name outside the ANSI code page survives";
    _wputenv_s(L"APPDATA", L"");
    EXPECT_TRUE(DefaultConfigPathHere().empty());
}
#else
TEST(ConfigLocationTest, PosixReadsTheEnvironment) {
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    ::setenv("XDG_CONFIG_HOME", "/x", 1);
    EXPECT_EQ(DefaultConfigPathHere(), "/x/quellmark/config.cfg");
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", "/h", 1);
    EXPECT_EQ(DefaultConfigPathHere(), "/h/.config/quellmark/config.cfg");
    ::setenv("HOME", savedHome.c_str(), 1);
}
#endif

} // namespace
