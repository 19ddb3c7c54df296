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

// Each value set, and the text the variable holds then.
struct Setting {
    const char* typed;
    const char* held;
    const char* why;
};

TEST(ConsoleTest, OnlyTextThatIsWhollyANumberIsClampedToTheRange) {
    const Setting settings[] = {
        {"3", "5", "below the range"},
        {"12.5", "10", "above the range"},
        {" 8 ", " 8 ", "within the range, blanks and all"},
        {"12abc", "12abc", "not wholly a number"},
        {"   ", "   ", "blanks alone are no number, not a zero below the range"},
        {"", "", "empty"},
    };
    sim::Console console;
    sim::Variable& variable = Ranged(console);
    for (const Setting& setting : settings) {
        console.Set(variable, setting.typed);
        EXPECT_EQ(variable.value, setting.held) << setting.why;
    }
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
    EXPECT_EQ(console.output, (std::vector<std::string>{
                                  "] qm_absent 1", "unknown command or variable \"qm_absent\""}));
}

} // namespace
