// The console's variables: values are text, and only text that reads wholly
// as a number is held to a variable's range.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/Console.h"

namespace {

sim::Variable& Ranged(sim::Console& console) {
    sim::Variable variable;
    variable.name = "qm_ranged";
    variable.defaultValue = "7";
    variable.hasMin = true;
    variable.min = 5.0f;
    variable.hasMax = true;
    variable.max = 10.0f;
    return console.Register(variable);
}

TEST(ConsoleTest, NumbersOutsideTheRangeAreClamped) {
    sim::Console console;
    sim::Variable& variable = Ranged(console);
    console.Set(variable, "3");
    EXPECT_EQ(variable.value, "5");
    console.Set(variable, "12.5");
    EXPECT_EQ(variable.value, "10");
    console.Set(variable, " 8 ");
    EXPECT_EQ(variable.value, " 8 ") << "a number within the range keeps its text, blanks and all";
}

TEST(ConsoleTest, TextThatIsNotWhollyANumberIsNotClamped) {
    sim::Console console;
    sim::Variable& variable = Ranged(console);
    console.Set(variable, "12abc");
    EXPECT_EQ(variable.value, "12abc");
    console.Set(variable, "   ");
    EXPECT_EQ(variable.value, "   ") << "blanks alone are no number, not a zero below the range";
    console.Set(variable, "");
    EXPECT_EQ(variable.value, "");
    EXPECT_FALSE(variable.BoolValue());
}

TEST(ConsoleTest, ATypedLineIsEchoedThenRun) {
    sim::Console console;
    sim::Variable& variable = Ranged(console);
    EXPECT_TRUE(console.Type("qm_ranged 9; qm_ranged"));
    EXPECT_EQ(variable.value, "9");
    EXPECT_EQ(console.output,
              (std::vector<std::string>{"] qm_ranged 9; qm_ranged", "qm_ranged = \"9\""}));
    console.output.clear();
    EXPECT_FALSE(console.Type("qm_absent 1")) << "a line the console cannot run says so";
    EXPECT_EQ(console.output,
              (std::vector<std::string>{"] qm_absent 1", "Unknown command: qm_absent"}));
}

} // namespace
