// The validator's command line, parsed on its own.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ValidateOptions.h"

namespace {

using validate::OptionError;
using validate::ParseValidateOptions;

TEST(ValidateOptionsTest, DefaultsWithoutArguments) {
    const auto options = ParseValidateOptions({});
    EXPECT_TRUE(options.modulePath.empty()) << "empty means the module beside the program";
    EXPECT_EQ(options.cycles, 100);
    EXPECT_EQ(options.seed, validate::kDefaultSeed);
    EXPECT_FALSE(options.only.has_value());
    EXPECT_FALSE(options.list);
}

TEST(ValidateOptionsTest, EveryOptionInBothSpellings) {
    const auto spaced = ParseValidateOptions(
        {"--module", "/x/Q.so", "--cycles", "200", "--seed", "0x1F", "--only", "hooks", "--list"});
    EXPECT_EQ(spaced.modulePath, "/x/Q.so");
    EXPECT_EQ(spaced.cycles, 200);
    EXPECT_EQ(spaced.seed, 0x1Fu);
    EXPECT_EQ(spaced.only.value_or(""), "hooks");
    EXPECT_TRUE(spaced.list);

    const auto joined = ParseValidateOptions({"--cycles=7", "--seed=18446744073709551615"});
    EXPECT_EQ(joined.cycles, 7);
    EXPECT_EQ(joined.seed, 18446744073709551615ull) << "the largest 64-bit seed";
}

TEST(ValidateOptionsTest, BadCommandLinesAreRefusedWithTheirReason) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"extra"}, "unexpected argument 'extra'"},
        {{"--cycles"}, "--cycles needs a value"},
        {{"--cycles", "0"}, "--cycles takes a whole number from 1"},
        {{"--cycles", "-5"}, "--cycles takes a whole number from 1"},
        {{"--cycles", "ten"}, "--cycles takes a whole number from 1"},
        {{"--cycles", "99999999"}, "--cycles takes a whole number from 1"},
        {{"--seed", "0x"}, "--seed takes a whole number"},
        {{"--seed", "12ab"}, "--seed takes a whole number"},
        {{"--seed", "18446744073709551616"}, "does not fit in 64 bits"},
        {{"--module", ""}, "--module needs a path"},
        {{"--list=yes"}, "unknown option '--list=yes'"},
    };
    for (const auto& [arguments, reason] : cases) {
        try {
            ParseValidateOptions(arguments);
            ADD_FAILURE() << "accepted: " << arguments.front();
        } catch (const OptionError& error) {
            EXPECT_NE(std::string(error.what()).find(reason), std::string::npos)
                << "for " << arguments.front() << " the message was: " << error.what();
        }
    }
}

} // namespace
