// The console's input line and its own help: lines brought back with Up and
// Down, names finished with Tab, and the help and cvarlist commands.
#include <gtest/gtest.h>

#include "session/ConsoleHelp.h"
#include "window/ConsoleHistory.h"
#include "window/NameCompletion.h"

namespace sandbox {
namespace {

TEST(ConsoleHistoryTest, UpGoesBackDownComesForwardToAnEmptyLine) {
    ConsoleHistory history;
    EXPECT_FALSE(history.Older()) << "nothing typed yet";
    history.Add("qm_enabled 0");
    history.Add("writeconfig");
    history.Add("writeconfig");
    history.Add("");
    EXPECT_EQ(history.Older(), "writeconfig") << "a repeat and an empty line are not kept";
    EXPECT_EQ(history.Older(), "qm_enabled 0");
    EXPECT_FALSE(history.Older()) << "the oldest line is the end";
    EXPECT_EQ(history.Newer(), "writeconfig");
    EXPECT_EQ(history.Newer(), "") << "past the newest line: an empty one";
    EXPECT_FALSE(history.Newer());
    history.Older();
    history.Add("help");
    EXPECT_EQ(history.Older(), "help") << "a new line starts over from the newest";
}

TEST(NameCompletionTest, FinishesTheNameBeingTyped) {
    const std::vector<std::string> names = {"qm_enabled", "writeconfig", "help", "qm_extra"};
    EXPECT_EQ(CompleteName("wri", names).line, "writeconfig ") << "one name: finished, a blank";
    EXPECT_EQ(CompleteName("qm_enabled 0; wr", names).line, "qm_enabled 0; writeconfig ")
        << "the last command's name";
    const Completion several = CompleteName("qm", names);
    EXPECT_EQ(several.line, "qm_e") << "as far as the names agree";
    EXPECT_EQ(several.candidates, (std::vector<std::string>{"qm_enabled", "qm_extra"}));
    EXPECT_EQ(CompleteName("qm_enabled 1", names).line, "qm_enabled 1") << "past the name";
    EXPECT_EQ(CompleteName("xyz", names).line, "xyz");
    EXPECT_TRUE(CompleteName("xyz", names).candidates.empty());
    EXPECT_EQ(CompleteName("", names).candidates.size(), 4u) << "Tab on nothing lists all";
}

TEST(ConsoleHelpTest, HelpNamesEverythingAndCvarlistShowsEachVariable) {
    sim::Console console;
    AddConsoleHelp(console);
    console.AddCommand("writeconfig", [](const std::vector<std::string>&) {});
    sim::Variable variable;
    variable.name = "qm_enabled";
    variable.defaultValue = "0";
    variable.description = "Plugin Enabled";
    console.Register(variable);
    console.Execute("qm_enabled 1; help; cvarlist");
    ASSERT_EQ(console.output.size(), 5u);
    EXPECT_EQ(console.output[0], "commands: cvarlist, help, writeconfig");
    EXPECT_EQ(console.output[1], "variables: qm_enabled");
    EXPECT_EQ(console.output[3], "qm_enabled \"1\" (default \"0\") Plugin Enabled");
    EXPECT_EQ(console.output[4], "1 variable");
}

} // namespace
} // namespace sandbox
