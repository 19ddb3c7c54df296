// The sandbox's command line, read without running the program: what each
// subcommand is given, and the answers and refusals the line gets on its own.

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "ProgramRun.h"
#include "cli/CommandLine.h"

namespace {

using sandbox::Answer;
using sandbox::ParseCommandLine;
using sandbox::RenderOptions;
using sandbox::WindowOptions;
using validate::ValidateOptions;

template <typename Options> Options Parsed(const std::vector<std::string>& arguments) {
    const sandbox::Request request = ParseCommandLine(arguments);
    if (const Answer* answer = std::get_if<Answer>(&request)) {
        ADD_FAILURE() << "refused: " << answer->err;
        return {};
    }
    EXPECT_TRUE(std::holds_alternative<Options>(request)) << "another subcommand was chosen";
    return std::holds_alternative<Options>(request) ? std::get<Options>(request) : Options{};
}

// The refusal's message, or "" (with a failure) when the line was accepted.
std::string Refused(const std::vector<std::string>& arguments) {
    const sandbox::Request request = ParseCommandLine(arguments);
    const Answer* answer = std::get_if<Answer>(&request);
    if (answer == nullptr) {
        ADD_FAILURE() << "accepted: " << arguments.front() << " ...";
        return "";
    }
    EXPECT_EQ(answer->status, 2);
    EXPECT_EQ(answer->out, "") << "a refusal prints nothing on stdout";
    return answer->err;
}

std::vector<std::string> With(std::string command, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), std::move(command));
    return arguments;
}

TEST(CommandLineTest, ValidateDefaultsWithoutArguments) {
    const auto options = Parsed<ValidateOptions>({"validate"});
    EXPECT_TRUE(options.modulePath.empty()) << "empty means the module beside the program";
    EXPECT_EQ(options.cycles, 100);
    EXPECT_EQ(options.seed, validate::kDefaultSeed);
    EXPECT_TRUE(options.only.empty());
    EXPECT_FALSE(options.list);
}

TEST(CommandLineTest, ValidateTakesEveryOptionInBothSpellings) {
    const std::string module = SANDBOX_PROGRAM; // any file that exists
    const auto spaced = Parsed<ValidateOptions>({"validate", "--module", module, "--cycles", "200",
                                                 "--seed", "0x1F", "--only", "hooks", "--list"});
    EXPECT_EQ(spaced.modulePath, module);
    EXPECT_EQ(spaced.cycles, 200);
    EXPECT_EQ(spaced.seed, 0x1Fu);
    EXPECT_EQ(spaced.only, std::vector<std::string>{"hooks"});
    EXPECT_TRUE(spaced.list);

    const auto joined =
        Parsed<ValidateOptions>({"validate", "--cycles=7", "--seed=18446744073709551615"});
    EXPECT_EQ(joined.cycles, 7);
    EXPECT_EQ(joined.seed, 18446744073709551615ull) << "the largest 64-bit seed";

    const auto leadingZero =
        Parsed<ValidateOptions>({"validate", "--cycles", "010", "--seed", "010"});
    EXPECT_EQ(leadingZero.cycles, 10) << "decimal, not octal";
    EXPECT_EQ(leadingZero.seed, 10u);
}

TEST(CommandLineTest, OnlyTakesAListOrRepeatsAlike) {
    const auto listed = Parsed<ValidateOptions>({"validate", "--only", "hooks,descriptor"});
    const auto repeated =
        Parsed<ValidateOptions>({"validate", "--only", "hooks", "--only=descriptor"});
    const std::vector<std::string> both = {"hooks", "descriptor"};
    EXPECT_EQ(listed.only, both);
    EXPECT_EQ(repeated.only, both);
}

TEST(CommandLineTest, BadValidateLinesAreRefusedWithTheirReason) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--frobnicate"}, "unknown option '--frobnicate'"},
        {{"extra"}, "unexpected argument 'extra'"},
        {{"--cycles"}, "--cycles needs a value"},
        {{"--cycles", "0"}, "--cycles: Value 0 not in range 1 to 1000000"},
        {{"--cycles", "-5"}, "--cycles: '-5' is not a whole number"},
        {{"--cycles", "ten"}, "--cycles: 'ten' is not a whole number"},
        {{"--cycles", "99999999"}, "--cycles: Value 99999999 not in range 1 to 1000000"},
        {{"--seed", "0x"}, "--seed: '0x' is not a whole number, decimal or 0x-hex"},
        {{"--seed", "12ab"}, "--seed: '12ab' is not a whole number"},
        {{"--seed", "18446744073709551616"},
         "--seed: '18446744073709551616' does not fit in 64 bits"},
        {{"--module", ""}, "--module: the value is empty"},
        {{"--module", "/nonexistent/Quellmark.so"},
         "--module: File does not exist: /nonexistent/Quellmark.so"},
        {{"--list=yes"}, "--list takes no value"},
        {{"--cycles", "5", "--cycles", "6"}, "--cycles given 2 times; it takes one value"},
        {{"--module", SANDBOX_PROGRAM, "--module", SANDBOX_PROGRAM}, "--module given 2 times"},
    };
    for (const auto& [arguments, reason] : cases) {
        const std::string message = Refused(With("validate", arguments));
        EXPECT_NE(message.find("quellmark-sandbox validate: " + reason), std::string::npos)
            << "for " << arguments.front() << " the message was: " << message;
    }
}

TEST(CommandLineTest, RenderAndWindowTakeTheSessionOptions) {
    const std::string file = SANDBOX_PROGRAM; // any file that exists
    const auto render = Parsed<RenderOptions>(
        {"render",   "--scenario", file,     "--out",       "x.png",    "--frames",
         "12",       "--trace",    "--set",  "a=1",         "--exec",   "qm_enabled 0; writeconfig",
         "--set",    "b=x=y",      "--exec", "writeconfig", "--config", "c.cfg",
         "--module", file});
    EXPECT_EQ(render.session.scenarioPath, file);
    EXPECT_EQ(render.out, "x.png");
    EXPECT_EQ(render.frames, 12);
    EXPECT_TRUE(render.session.trace);
    const std::vector<std::pair<std::string, std::string>> sets = {{"a", "1"}, {"b", "x=y"}};
    EXPECT_EQ(render.session.sets, sets) << "in order, split at the first '='";
    const std::vector<std::string> execs = {"qm_enabled 0; writeconfig", "writeconfig"};
    EXPECT_EQ(render.session.execs, execs) << "in order, each line whole";
    EXPECT_EQ(render.session.configPath, "c.cfg");
    EXPECT_EQ(render.session.modulePath, file);

    const auto plain = Parsed<RenderOptions>({"render"});
    EXPECT_FALSE(plain.out || plain.frames || plain.session.scenarioPath ||
                 plain.session.configPath || plain.session.modulePath);

    const auto window = Parsed<WindowOptions>(
        {"window", "--frames", "100000000", "--script", "3 key Escape", "--set", "a=2"});
    EXPECT_EQ(window.frames, 100000000) << "a window may run far longer than a render";
    EXPECT_EQ(window.script, "3 key Escape");
    EXPECT_EQ(window.session.sets.size(), 1u);
}

TEST(CommandLineTest, BadRenderAndWindowLinesNameTheOptionAndTheCommandOnce) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"render", "--out", "a.png", "--out", "b.png"}, "--out given 2 times"},
        {{"render", "--frames", "0"}, "--frames: Value 0 not in range 1 to 100000"},
        {{"render", "--frames", "100001"}, "--frames: Value 100001 not in range"},
        {{"window", "--frames", "100000001"}, "--frames: Value 100000001 not in range"},
        {{"render", "--frames", "2.5"}, "--frames: '2.5' is not a whole number"},
        {{"render", "--config", ""}, "--config: the value is empty"},
        {{"render", "--scenario", ""}, "--scenario: the value is empty"},
        {{"window", "--module", ""}, "--module: the value is empty"},
        {{"render", "--set", "a;b=1"}, "--set: expected NAME=VALUE, got 'a;b=1'"},
        {{"render", "--set", "=1"}, "--set: expected NAME=VALUE, got '=1'"},
        {{"render", "--out="}, "--out needs a value"},
        {{"window", "--scenario", "/nonexistent/scene.json"},
         "--scenario: File does not exist: /nonexistent/scene.json"},
        {{"render", "--set", "qm_enabled"}, "--set: expected NAME=VALUE, got 'qm_enabled'"},
        {{"render", "--set", "a b=1"}, "--set: expected NAME=VALUE, got 'a b=1'"},
        {{"render", "--colour", "red"}, "unknown option '--colour'"},
        {{"render", "--trace=1"}, "--trace takes no value"},
        {{"render", "--version"}, "unknown option '--version'"},
        {{"window", "--set", "a=1", "b=2"}, "unexpected argument 'b=2'"},
        {{"window", "--script", "1 key a", "--script", "2 key b"}, "--script given 2 times"},
    };
    for (const auto& [arguments, reason] : cases) {
        const std::string message = Refused(arguments);
        const std::string command = "quellmark-sandbox " + arguments.front();
        EXPECT_NE(message.find(command + ": " + reason), std::string::npos)
            << "for " << arguments[1] << " the message was: " << message;
        EXPECT_EQ(sandboxtest::Occurrences(message, arguments.front()), 1u)
            << "the command named once: " << message;
    }
}

TEST(CommandLineTest, NoCommandOrAnUnknownOneIsRefusedWithTheCommandsListed) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, {"paint"}, {"--bogus"}}) {
        const std::string message = Refused(arguments);
        for (const char* command : {"render", "window", "validate"}) {
            EXPECT_NE(message.find(command), std::string::npos) << message;
        }
    }
    EXPECT_NE(Refused({"paint", "--out", "x"}).find("quellmark-sandbox: unknown command 'paint'"),
              std::string::npos);
    EXPECT_NE(Refused({"--bogus"}).find("quellmark-sandbox: unknown option '--bogus'"),
              std::string::npos);
    EXPECT_NE(Refused({}).find("quellmark-sandbox: a command is needed"), std::string::npos);
}

TEST(CommandLineTest, HelpOnEveryCommandAndTheVersionAreAnswers) {
    for (const char* command : {"render", "window", "validate"}) {
        for (const char* help : {"-h", "--help"}) {
            const sandbox::Request request =
                ParseCommandLine(std::vector<std::string>{command, help});
            ASSERT_TRUE(std::holds_alternative<Answer>(request)) << command << " " << help;
            const Answer& answer = std::get<Answer>(request);
            EXPECT_EQ(answer.status, 0);
            EXPECT_NE(answer.out.find(std::string("usage: quellmark-sandbox ") + command),
                      std::string::npos)
                << answer.out;
            EXPECT_NE(answer.out.find("--module"), std::string::npos) << answer.out;
            EXPECT_EQ(answer.err, "");
        }
    }
    const sandbox::Request version = ParseCommandLine(std::vector<std::string>{"--version"});
    ASSERT_TRUE(std::holds_alternative<Answer>(version));
    EXPECT_EQ(std::get<Answer>(version).status, 0);
    EXPECT_TRUE(std::get<Answer>(version).out.starts_with("Quellmark "))
        << std::get<Answer>(version).out;
}

} // namespace
