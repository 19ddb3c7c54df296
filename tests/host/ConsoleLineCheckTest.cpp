// Checking a console line before it runs: every command it holds must name a
// command or a variable the console has, take arguments the command accepts
// and give a switch a value it reads as meant, so a script with a slip in it
// can be refused before any of it runs.
#include <gtest/gtest.h>

#include <memory>

#include "sim/Console.h"

namespace {

class ConsoleLineCheckTest : public ::testing::Test {
protected:
    ConsoleLineCheckTest() {
        sim::Variable variable;
        variable.name = "qm_enabled";
        console.Register(variable).bindings.push_back(std::make_shared<bool>(false));
        sim::Variable text;
        text.name = "qm_title";
        console.Register(text);
        console.AddCommand("writeconfig", [this](const std::vector<std::string>&) { ++saves; });
        console.AddCommand(
            "save", [this](const std::vector<std::string>&) { ++saves; },
            [](const std::vector<std::string>& arguments) {
                return arguments.size() == 1 ? "" : std::string("usage: save PATH");
            });
    }

    sim::Console console;
    int saves = 0;
};

TEST_F(ConsoleLineCheckTest, SoundLinesPass) {
    EXPECT_EQ(console.Problem("qm_enabled 0; writeconfig"), "");
    EXPECT_EQ(console.Problem("  qm_enabled ; ; writeconfig extra words "), "");
    EXPECT_EQ(console.Problem(""), "") << "an empty line runs nothing";
    EXPECT_EQ(console.Problem("qm_enabled TRUE; qm_enabled -1; qm_enabled 0.5"), "");
    EXPECT_EQ(console.Problem("qm_title on; save a.json"), "") << "only switches read on or off";
}

TEST_F(ConsoleLineCheckTest, TheFirstProblemIsGivenWithoutRunningAnything) {
    EXPECT_EQ(console.Problem("qm_enable 0; writeconfig"),
              "unknown command or variable \"qm_enable\" (did you mean qm_enabled?)");
    EXPECT_EQ(console.Problem("writeconfig; qm_enabled 1; writeconfg; nope"),
              "unknown command or variable \"writeconfg\" (did you mean writeconfig?)");
    EXPECT_EQ(console.Problem("nope"), "unknown command or variable \"nope\"")
        << "nothing is near enough to suggest";
    EXPECT_EQ(console.Problem("\"qm enabled\" 1"),
              "unknown command or variable \"qm enabled\" (did you mean qm_enabled?)")
        << "quotes group words";
    EXPECT_EQ(console.Problem("qm_enabled 0;\"\";writeconfig"), "an empty command name");
    EXPECT_EQ(console.Problem("save"), "usage: save PATH");
    EXPECT_EQ(console.Problem("qm_enabled on"),
              "qm_enabled: \"on\" is not a switch value; use 1 or 0, or true or false");
    EXPECT_NE(console.Problem("qm_enabled 1abc"), "");
    EXPECT_EQ(saves, 0) << "checking a line ran it";
    EXPECT_EQ(console.Find("qm_enabled")->value, "");
}

TEST_F(ConsoleLineCheckTest, RunningALineRefusesEachBadPartAndRunsTheRest) {
    EXPECT_FALSE(console.Execute("nosuch; qm_enabled 1; save; qm_enabled yes; writeconfig"));
    EXPECT_EQ(console.Find("qm_enabled")->value, "1") << "the sound parts still run";
    EXPECT_EQ(console.Find("qm_enabled")->origin, "the console");
    EXPECT_EQ(saves, 1) << "save without its path did not run; writeconfig did";
    EXPECT_EQ(console.output,
              (std::vector<std::string>{
                  "unknown command or variable \"nosuch\"", "usage: save PATH",
                  "qm_enabled: \"yes\" is not a switch value; use 1 or 0, or true or false"}));
}

} // namespace
