// Scenario text written to break the parser: deep or unclosed nesting, keys
// given twice, NUL bytes, huge values. Each is refused with a short message
// naming the field and the place of the fault, and none takes long or
// recurses deeply.
#include <gtest/gtest.h>

#include "ScenarioRefusal.h"
#include "base/InputError.h"
#include "scenario/ScenarioParser.h"

namespace sandbox {
namespace {

// The message starts with `start` and says `what`, and is short enough to
// read whatever the input was.
void ExpectRefusal(const std::string& text, const std::string& start, const std::string& what) {
    const std::string message = Refusal(text);
    EXPECT_EQ(message.rfind(start, 0), 0u) << message.substr(0, 300);
    EXPECT_NE(message.find(what), std::string::npos) << message.substr(0, 300);
    EXPECT_LT(message.size(), 300u) << message.substr(0, 300);
    EXPECT_EQ(message.find('\0'), std::string::npos) << "a NUL in the message";
}

std::string Nested(std::size_t depth) {
    return std::string(depth, '[') + std::string(depth, ']');
}

// Levels count objects and arrays alike, the document's own object first.
TEST(NestingTest, DeepNestingIsRefusedAtTheLevelPastTheLimit) {
    ExpectRefusal(Nested(100000), "s.json:1:257: [0][0]", "nested deeper than 256 levels");
    // Never closed: found at the same place, without reading the rest.
    ExpectRefusal(std::string(1000000, '['), "s.json:1:257: [0][0]",
                  "nested deeper than 256 levels");
}

TEST(NestingTest, NestingUnderAFieldNamesTheField) {
    ExpectRefusal(R"({"camera": null, "ball": )" + Nested(300) + "}", "s.json:1:281: ball[0][0]",
                  "nested deeper than 256 levels");
    ExpectRefusal(R"({"camera": null, "ball": null, "cvars": {"x": )" + Nested(300) + "}}",
                  "s.json:1:301: cvars.x[0][0]", "nested deeper than 256 levels");
    // Never closed, or closed by the wrong bracket: the same.
    ExpectRefusal(R"({"camera": null, "ball": null, "cvars": {"x": )" + std::string(100000, '['),
                  "s.json:1:301: cvars.x[0]", "nested deeper than 256 levels");
    ExpectRefusal(R"({"camera": null, "ball": )" + std::string(100000, '[') + "}",
                  "s.json:1:281: ball[0]", "nested deeper than 256 levels");
}

TEST(NestingTest, NestingUpToTheLimitIsOnlyRefusedForWhatItIs) {
    const std::string message = Refusal(Nested(256));
    EXPECT_EQ(message.find("nested"), std::string::npos) << message;
    EXPECT_NE(message.find("expected an object"), std::string::npos) << message;
}

TEST(DuplicateKeysTest, ASecondKeyIsRefusedWhereItStands) {
    ExpectRefusal(R"({"camera": null, "ball": "garbage", "ball": [0, 0, 0]})",
                  "s.json:1:37: ", "ball: given twice");
    ExpectRefusal(R"({"camera":null,"ball":"garbage","ball":[0,0,0]})",
                  "s.json:1:33: ", "ball: given twice");
    ExpectRefusal("{\"camera\": {\"location\": [0, 0, 0],\n  \"location\": [1, 1, 1]}}",
                  "s.json:2:3: ", "camera.location: given twice");
    ExpectRefusal(R"({"camera": null, "ball": null, "cvars": {"a\"b": "1", "a\"b": "2"}})",
                  "s.json:1:55: cvars.\"a\\\"b\": ", "given twice");
}

TEST(DuplicateKeysTest, AnObjectOfManyKeysIsReadWholeAndItsRepeatFound) {
    std::string text = "{\"camera\": null, \"ball\": null, \"cvars\": {";
    for (int i = 0; i < 200000; ++i) {
        text += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":1";
    }
    EXPECT_EQ(ParseScenario(text + "}}", "s.json").cvars.size(), 200000u);
    ExpectRefusal(text + ", \"k0\": 2}}", "s.json:1:", "cvars.k0: given twice");
}

TEST(PlaceOfTheFaultTest, ATrailingCommaIsBlamedOnItselfNotTheFieldBefore) {
    const std::string message = Refusal(R"({"camera":null,"ball":[0,0,0],})");
    EXPECT_EQ(message.rfind("s.json:1:31: syntax error", 0), 0u) << message;
    EXPECT_EQ(message.find("ball"), std::string::npos) << message;
}

TEST(PlaceOfTheFaultTest, ANumberOverflowIsFoundWhereItIsNotWhereItsTextFirstAppears) {
    ExpectRefusal(R"({"cvars": {"note": "1e999"}, "camera": null, "ball": [0, 0, 1e999]})",
                  "s.json:1:61: ball[2]: ", "not a finite number");
}

TEST(PlaceOfTheFaultTest, NulBytesAnywhereAreRefusedWhereTheyAre) {
    const std::string document = R"({"camera": null, "ball": null})";
    ExpectRefusal(document + std::string(1, '\0'), "s.json:1:31: ", "NUL byte");
    ExpectRefusal(std::string(R"({"camera":null,"ball":null})") + std::string(1, '\0'),
                  "s.json:1:28: ", "a NUL byte");
    ExpectRefusal(R"({"camera": null, "ball": null, "mode": "free)" + std::string(1, '\0') +
                      R"(play"})",
                  "s.json:1:45: ", "NUL byte");
    // Escaped, a NUL is text like any other, and quoted as the config quotes it.
    ExpectRefusal(R"({"camera": null, "ball": null, "mode": "free\u0000play"})",
                  "s.json: mode: ", "\"free\\x00play\"");
}

TEST(PlaceOfTheFaultTest, TrailingTextIsRefused) {
    ExpectRefusal(R"({"camera": null, "ball": null} {})", "s.json:1:32: ", "end of input");
    ExpectRefusal(R"({"camera": null, "ball": null}])", "s.json:1:31: ", "end of input");
}

TEST(BoundedMessagesTest, HugeValuesAndKeysAreQuotedByTheirStart) {
    const std::string huge(1000000, 'x');
    ExpectRefusal(R"({"camera": null, "ball": null, "mode": ")" + huge + "\"}",
                  "s.json: mode: ", "unknown mode \"xxxx");
    // Cut short between characters, never inside one.
    std::string accents;
    for (int i = 0; i < 30; ++i) {
        accents += "\u00e9";
    }
    ExpectRefusal(R"({"camera": null, "ball": null, "mode": "x)" + accents + "\"}",
                  "s.json: mode: ", "unknown mode \"x" + accents.substr(0, 34) + "... (expected");
    ExpectRefusal(R"({"camera": null, "ball": null, ")" + huge + "\": 1}", "s.json: xxx",
                  "unknown field");
    ExpectRefusal(R"({"camera": null, "ball": [)" + std::string(100000, '1') + ", 0]}",
                  "s.json:1:27: ball[0]: '1111", "...' is not a finite number");
    ExpectRefusal(R"({"camera": null, "ball": )" + std::string(100000, '[') + "1" + "}",
                  "s.json:1:281: ball[0]", "nested deeper");
    // Never closed: the parser's own message quotes the string it read.
    ExpectRefusal(R"({"camera": null, "ball": null, "mode": ")" + huge,
                  "s.json:1:1000041: mode: ", "last read: \"\\\"xxx");
    // ... also when that string holds quotes of the message's own kind.
    ExpectRefusal(R"({"camera": null, "ball": null, "mode": "it's )" + huge,
                  "s.json:1:", "last read: \"\\\"it's xxx");
    // Line breaks in a key do not break the message.
    ExpectRefusal("{\"camera\": null, \"ball\": null, \"a\\nb\": 1}",
                  "s.json: \"a\\nb\": ", "unknown field");
}

} // namespace
} // namespace sandbox
