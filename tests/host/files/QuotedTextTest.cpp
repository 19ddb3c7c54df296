// Quoted text, as the config and the trace write it: one line whatever it
// holds, and read back to exactly what was written.
#include <gtest/gtest.h>

#include "files/QuotedText.h"

namespace {

using files::Quoted;

TEST(QuotedTextTest, EveryByteValueReadsBackAsItWas) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    for (const std::string& text : {all, std::string(1, '\0'), std::string("\\\\\"\"\\"),
                                    std::string("ends in a backslash\\")}) {
        const std::string quoted = Quoted(text);
        EXPECT_EQ(quoted.find('\n'), std::string::npos) << "a line break in " << quoted;
        std::string problem;
        const auto read = files::ReadQuoted(quoted + " after", problem);
        ASSERT_TRUE(read) << problem;
        EXPECT_EQ(read->value, text);
        EXPECT_EQ(read->length, quoted.size()) << "the closing quote was not where it ends";
    }
}

TEST(QuotedTextTest, EscapesAreTheReadableOnes) {
    EXPECT_EQ(Quoted("say \"hi\" \\ bye"), "\"say \\\"hi\\\" \\\\ bye\"");
    EXPECT_EQ(Quoted("a\nb\rc\td"), "\"a\\nb\\rc\\td\"");
    EXPECT_EQ(Quoted(std::string("\x01\x1f\x7f", 3)), "\"\\x01\\x1f\\x7f\"");
    EXPECT_EQ(Quoted("caf\xc3\xa9"), "\"caf\xc3\xa9\"") << "UTF-8 is left as it is";
    std::string appended = "x=";
    files::AppendQuoted(appended, "a\"b");
    EXPECT_EQ(appended, "x=\"a\\\"b\"");
}

TEST(QuotedTextTest, PrintableTextCannotActOnATerminal) {
    // The same escapes for what a terminal would act on; quotes and
    // backslashes stay as they are, since nothing reads this text back.
    EXPECT_EQ(files::Printable(std::string("\x1b]0;title\x07\x1b[2J\nforged\0cut", 25)),
              "\\x1b]0;title\\x07\\x1b[2J\\nforged\\x00cut");
    EXPECT_EQ(files::Printable("say \"hi\" \\ caf\xc3\xa9\r\t\x7f"),
              "say \"hi\" \\ caf\xc3\xa9\\r\\t\\x7f");
}

TEST(QuotedTextTest, OtherBackslashesStandForTheirCharacter) {
    std::string problem;
    const auto read = files::ReadQuoted("\"\\q\\'\\x41\\X\"", problem);
    ASSERT_TRUE(read) << problem;
    EXPECT_EQ(read->value, "q'AX");
}

TEST(QuotedTextTest, BrokenQuotedTextIsRefusedWithTheReason) {
    const std::pair<const char*, const char*> cases[] = {
        {"\"no end", "unterminated"},   {"\"escaped end\\\"", "unterminated"},
        {"\"\\x4\"", "two hex digits"}, {"\"\\xg0\"", "two hex digits"},
        {"\"\\x", "two hex digits"},
    };
    for (const auto& [text, reason] : cases) {
        std::string problem;
        EXPECT_FALSE(files::ReadQuoted(text, problem)) << text;
        EXPECT_NE(problem.find(reason), std::string::npos) << text << " -> " << problem;
    }
}

} // namespace
