// Checking a console line before it runs: every command it holds must name a
// command or a variable the console has, so a script with a typo can be
// refused before any of it runs.
#include <gtest/gtest.h>

#include "sim/Console.h"

namespace {

class ConsoleLineCheckTest : public ::testing::Test {
protected:
    ConsoleLineCheckTest() {
        sim::Variable variable;
        variable.name = "qm_enabled";
        console.Register(variable);
        console.AddCommand("writeconfig", [this](const std::vector<std::string>&) { ++saves; });
    }

    sim::Console console;
    int saves = 0;
};

TEST_F(ConsoleLineCheckTest, KnownCommandsAndVariablesPass) {
    EXPECT_EQ(console.FirstUnknown("qm_enabled 0; writeconfig"), "");
    EXPECT_EQ(console.FirstUnknown("  qm_enabled ; ; writeconfig extra words "), "");
    EXPECT_EQ(console.FirstUnknown(""), "") << "an empty line runs nothing";
}

TEST_F(ConsoleLineCheckTest, TheFirstUnknownNameIsGivenWithoutRunningAnything) {
    EXPECT_EQ(console.FirstUnknown("qm_enable 0; writeconfig"), "qm_enable");
    EXPECT_EQ(console.FirstUnknown("writeconfig; qm_enabled 1; writeconfg; nope"), "writeconfg");
    EXPECT_EQ(console.FirstUnknown("\"qm enabled\" 1"), "qm enabled") << "quotes group words";
    EXPECT_EQ(saves, 0) << "checking a line ran it";
    EXPECT_EQ(console.Find("qm_enabled")->value, "");
}

} // namespace
