#include <gtest/gtest.h>

#include "AtomicFile.h"
#include "Config.h"
#include "ProgramRun.h"

namespace sandbox {
namespace {

TEST(ConfigTest, FormattedSettingsReadBackTheSame) {
    const Settings settings = {{"qm_enabled", "1"}, {"odd", "say \"hi\" \\ bye"}, {"empty", ""}};
    std::string problem;
    const auto read = ParseConfig(FormatConfig(settings), "c.cfg", problem);
    ASSERT_TRUE(read) << problem;
    EXPECT_EQ(*read, settings);
}

TEST(ConfigTest, CommentsAndBlankLinesAreSkipped) {
    std::string problem;
    const auto read =
        ParseConfig("# saved\n\n  // note\nqm_enabled \"0\"  # off\r\n", "c.cfg", problem);
    ASSERT_TRUE(read) << problem;
    EXPECT_EQ(*read, (Settings{{"qm_enabled", "0"}}));
}

TEST(ConfigTest, ProblemsNameSourceAndLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"a \"1\"\nb\n", "c.cfg:2: expected a quoted value"},
        {"a \"1\"\n\nb 1\n", "c.cfg:3: expected a quoted value"},
        {"a \"1\n", "c.cfg:1: unterminated"},
        {"a \"1\" 2\n", "c.cfg:1: unexpected text"},
    };
    for (const auto& [text, expected] : cases) {
        std::string problem;
        EXPECT_FALSE(ParseConfig(text, "c.cfg", problem)) << text;
        EXPECT_EQ(problem.rfind(expected, 0), 0u) << text << " -> " << problem;
    }
}

TEST(ConfigTest, DefaultPathPrefersXdgThenHome) {
    EXPECT_EQ(DefaultConfigPath("/x", "/h"), "/x/quellmark/config.cfg");
    EXPECT_EQ(DefaultConfigPath("", "/h"), "/h/.config/quellmark/config.cfg");
    EXPECT_EQ(DefaultConfigPath(nullptr, "/h"), "/h/.config/quellmark/config.cfg");
    EXPECT_TRUE(DefaultConfigPath(nullptr, nullptr).empty());
}

TEST(ConfigStoreTest, SaveKeepsEntriesOfVariablesNotRegistered) {
    sandboxtest::TempDir dir;
    const auto path = dir.Write("c.cfg", "other_plugin \"7\"\nqm_enabled \"0\"\n");
    ConfigStore store(path);
    std::string warning;
    store.Load(warning);
    EXPECT_TRUE(warning.empty()) << warning;

    sim::Console console;
    sim::Variable variable;
    variable.name = "qm_enabled";
    variable.defaultValue = "0";
    console.Set(console.Register(variable), "1");
    std::string error;
    ASSERT_TRUE(store.Save(console, error)) << error;

    std::string problem;
    const auto saved = ParseConfig(sandboxtest::ReadFile(path), "c.cfg", problem);
    ASSERT_TRUE(saved) << problem;
    EXPECT_EQ(*saved, (Settings{{"qm_enabled", "1"}, {"other_plugin", "7"}}));
}

TEST(AtomicFileTest, ReplacesTheFileAndLeavesNoTemporary) {
    sandboxtest::TempDir dir;
    const auto path = dir.Write("f.txt", "old");
    WriteFileAtomically(path, "new content");
    EXPECT_EQ(sandboxtest::ReadFile(path), "new content");
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++files;
    }
    EXPECT_EQ(files, 1) << "a temporary file was left behind";
}

TEST(AtomicFileTest, FailedWriteLeavesWhatWasThere) {
    sandboxtest::TempDir dir;
    // A folder in the way: the rename fails after the data was written.
    std::filesystem::create_directory(dir / "taken");
    dir.Write("taken/keep", "kept");
    EXPECT_THROW(WriteFileAtomically(dir / "taken", "data"), std::runtime_error);
    EXPECT_EQ(sandboxtest::ReadFile(dir / "taken" / "keep"), "kept");
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++files;
    }
    EXPECT_EQ(files, 1) << "the temporary file was not removed";

    EXPECT_THROW(WriteFileAtomically(dir / "missing" / "f", "data"), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

} // namespace
} // namespace sandbox
