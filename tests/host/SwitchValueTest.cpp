// How the host's console reads a variable's text as a switch
// (getBoolValue, bindTo).
#include <gtest/gtest.h>

#include "sim/Console.h"

namespace {

bool Reads(const char* text) {
    sim::Variable variable;
    variable.value = text;
    return variable.BoolValue();
}

TEST(SwitchValueTest, NonZeroNumbersAndTrueAreOn) {
    for (const char* text : {"1", "-1", "0.5", "2e3", "true", "TRUE", "True", " 1"}) {
        EXPECT_TRUE(Reads(text)) << "'" << text << "'";
    }
}

TEST(SwitchValueTest, ZeroFalseAndOtherTextAreOff) {
    for (const char* text : {"0", "0.0", "-0", "false", "FALSE", "", "yes", "on", "nan", "truee"}) {
        EXPECT_FALSE(Reads(text)) << "'" << text << "'";
    }
}

TEST(SwitchValueTest, OnlyNumbersAndTrueOrFalseAreTakenAsSwitchValues) {
    for (const char* text : {"1", "0", "-1", "0.5", "2e3", "true", "FALSE", " 1", "1 "}) {
        EXPECT_EQ(sim::SwitchValueProblem(text), "") << "'" << text << "'";
    }
    // Each would read other than the user evidently meant: "on" and "yes" as
    // off, "1abc" as on by its first digit.
    for (const char* text : {"on", "yes", "1abc", "", "nan", "truee", "0x"}) {
        EXPECT_NE(sim::SwitchValueProblem(text), "") << "'" << text << "'";
    }
}

TEST(SwitchValueTest, BoundFlagsFollowTrueAndFalse) {
    sim::Console console;
    sim::Variable definition;
    definition.name = "switch";
    definition.defaultValue = "0";
    sim::Variable& variable = console.Register(definition);
    auto flag = std::make_shared<bool>(false);
    variable.bindings.push_back(flag);
    console.Execute("switch true");
    EXPECT_TRUE(*flag);
    console.Execute("switch false");
    EXPECT_FALSE(*flag);
}

} // namespace
