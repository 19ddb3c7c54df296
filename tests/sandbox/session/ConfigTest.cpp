#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

#include "ProgramRun.h"
#include "session/Config.h"

namespace sandbox {
namespace {

TEST(ConfigTest, FormattedSettingsReadBackTheSame) {
    const Settings settings = {{"qm_enabled", "1"}, {"odd", "say \"hi\" \\ bye"}, {"empty", ""}};
    std::string problem;
    const auto read = ParseConfig(FormatConfig(settings), "c.cfg", problem);
    ASSERT_TRUE(read) << problem;
    EXPECT_EQ(*read, settings);
}

TEST(ConfigTest, EveryByteValueReadsBackAsWritten) {
    Settings settings;
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        settings.emplace_back("byte_" + std::to_string(byte), one + "x" + one);
        all += one;
    }
    settings.emplace_back("all", all);
    // What a value set from a console line or a scenario could hold.
    settings.emplace_back("newline", "1\n# x");
    settings.emplace_back("trailing_backslash", "c:\\");
    const std::string text = FormatConfig(settings);
    std::string problem;
    const auto read = ParseConfig(text, "c.cfg", problem);
    ASSERT_TRUE(read) << problem << "\n" << text;
    EXPECT_EQ(*read, settings);
    // One line per variable, under the header line.
    EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')),
              settings.size() + 1);
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

// A store whose file is `path`, loaded; `warning` holds what Load said.
struct LoadedStore {
    explicit LoadedStore(const std::filesystem::path& path) : store(path) { store.Load(warning); }

    bool SaveOneVariable() {
        sim::Console console;
        sim::Variable variable;
        variable.name = "qm_enabled";
        variable.defaultValue = "1";
        console.Register(variable);
        return store.Save(console, error);
    }

    ConfigStore store;
    std::string warning;
    std::string error;
};

// POSIX only: the read error comes from the interposed read, and the FIFO is
// a kind of file Windows does not have.
#if !defined(_WIN32)
TEST(ConfigStoreTest, AConfigThatCouldNotBeReadIsNeverSavedOver) {
    sandboxtest::TempDir dir;
    const std::string kept = "other_plugin \"7\"\nqm_enabled \"0\"\n";

    // A read error part way through the file (made by the interposed read).
    const auto failing = dir.Write("failing.cfg", kept);
    ::setenv("QUELLMARK_TEST_READ_FAULT", "failing.cfg@10", 1);
    LoadedStore readError(failing);
    ::unsetenv("QUELLMARK_TEST_READ_FAULT");

    const auto large = dir.Write("large.cfg", kept + std::string(kMaxConfigBytes, '#'));
    LoadedStore tooLarge(large);

    const auto fifo = dir / "fifo.cfg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    LoadedStore notAFile(fifo);

    const auto broken = dir.Write("broken.cfg", kept + "qm_enabled\n");
    LoadedStore unparsed(broken);

    const std::pair<LoadedStore*, const char*> cases[] = {
        {&readError, "Input/output error"},
        {&tooLarge, "1 MiB"},
        {&notAFile, "FIFO"},
        {&unparsed, "broken.cfg:3"},
    };
    for (const auto& [loaded, reason] : cases) {
        const std::string file = loaded->store.Path().filename().string();
        EXPECT_NE(loaded->warning.find(reason), std::string::npos)
            << file << ": the warning should say '" << reason << "': " << loaded->warning;
        EXPECT_FALSE(loaded->SaveOneVariable()) << file << " was saved over";
        EXPECT_NE(loaded->error.find(file), std::string::npos) << loaded->error;
    }
    EXPECT_EQ(sandboxtest::ReadFile(failing), kept);
    EXPECT_EQ(sandboxtest::ReadFile(broken), kept + "qm_enabled\n");
    EXPECT_EQ(std::filesystem::file_size(large), kept.size() + kMaxConfigBytes);
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}
#endif

TEST(ConfigStoreTest, AMissingConfigIsEmptyAndMadeByTheFirstSave) {
    sandboxtest::TempDir dir;
    LoadedStore missing(dir / "sub" / "config.cfg");
    EXPECT_TRUE(missing.warning.empty()) << missing.warning;
    ASSERT_TRUE(missing.SaveOneVariable()) << missing.error;
    EXPECT_NE(sandboxtest::ReadFile(dir / "sub" / "config.cfg").find("qm_enabled \"1\""),
              std::string::npos);
}

} // namespace
} // namespace sandbox
