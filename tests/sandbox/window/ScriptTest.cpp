#include <gtest/gtest.h>

#include <SDL.h>

#include "base/InputError.h"
#include "window/Script.h"

namespace sandbox {
namespace {

TEST(ScriptTest, ReadsEveryAction) {
    const auto actions =
        ParseScript("2 click 10 20.5; 3 click panel\n4 key Escape; 5 console qm_enabled 0;"
                    " 6 screenshot shot.png");
    ASSERT_EQ(actions.size(), 5u);
    EXPECT_EQ(actions[0].kind, ScriptAction::Kind::ClickAt);
    EXPECT_EQ(actions[0].frame, 2);
    EXPECT_EQ(actions[0].x, 10.0f);
    EXPECT_EQ(actions[0].y, 20.5f);
    EXPECT_EQ(actions[1].kind, ScriptAction::Kind::ClickPanel);
    EXPECT_EQ(actions[2].kind, ScriptAction::Kind::Key);
    EXPECT_EQ(actions[2].keyCode, SDLK_ESCAPE);
    EXPECT_EQ(actions[3].kind, ScriptAction::Kind::Console);
    EXPECT_EQ(actions[3].text, "qm_enabled 0");
    EXPECT_EQ(actions[4].kind, ScriptAction::Kind::Screenshot);
    EXPECT_EQ(actions[4].text, "shot.png");
}

TEST(ScriptTest, RefusesWhatItCannotDo) {
    for (const char* bad :
         {"click panel", "0 key Escape", "3 key NoSuchKey", "3 click 10", "3 wave",
          "3 screenshot /no/such/folder/x.png", "3 console", "3 hold W", "3 hold W 0",
          "3 hold W two", "3 hold Nope 4", "3 hold W 4 5", "3 click consoles"}) {
        EXPECT_THROW(ParseScript(bad), InputError) << bad;
    }
}

TEST(ScriptTest, HoldKeepsAKeyDownForItsFrames) {
    const auto actions = ParseScript("2 hold W 30; 3 hold Return 1; 4 click console");
    ASSERT_EQ(actions.size(), 3u);
    EXPECT_EQ(actions[0].kind, ScriptAction::Kind::Hold);
    EXPECT_EQ(actions[0].keyCode, SDLK_w);
    EXPECT_EQ(actions[0].frames, 30);
    EXPECT_EQ(actions[1].keyCode, SDLK_RETURN);
    EXPECT_EQ(actions[1].frames, 1);
    EXPECT_EQ(actions[2].kind, ScriptAction::Kind::ClickConsole);
}

TEST(ScriptTest, TypeTakesTheRestOfTheItemAsText) {
    const auto actions = ParseScript("4 type qm_en; 5 type \"a; b\"");
    ASSERT_EQ(actions.size(), 2u);
    EXPECT_EQ(actions[0].kind, ScriptAction::Kind::Type);
    EXPECT_EQ(actions[0].text, "qm_en");
    EXPECT_EQ(actions[1].text, "a; b");
    EXPECT_THROW(ParseScript("4 type"), InputError);
}

TEST(ScriptTest, QuotesKeepASemicolonInAConsoleLine) {
    const auto actions =
        ParseScript("3 console \"qm_enabled 0; writeconfig\"; 4 console qm_enabled \"1\"\n"
                    "5 console \"a\" \"b\"; 6 key Escape");
    ASSERT_EQ(actions.size(), 4u);
    EXPECT_EQ(actions[0].text, "qm_enabled 0; writeconfig") << "quoted whole: typed unquoted";
    EXPECT_EQ(actions[1].text, "qm_enabled \"1\"") << "quotes inside the line stay";
    EXPECT_EQ(actions[2].text, "\"a\" \"b\"") << "two quoted words are not one quoted line";
    EXPECT_EQ(actions[3].frame, 6);
    EXPECT_EQ(actions[0].item, "3 console \"qm_enabled 0; writeconfig\"");
}

TEST(ScriptTest, ItemsAfterTheLastFrameAreRefusedByName) {
    const auto actions = ParseScript("2 key W; 5 key Escape; 7 screenshot x.png");
    EXPECT_NO_THROW(RefuseItemsAfter(actions, 7));
    try {
        RefuseItemsAfter(actions, 6);
        ADD_FAILURE() << "an item after frame 6 was accepted";
    } catch (const InputError& error) {
        EXPECT_NE(std::string(error.what()).find("'7 screenshot x.png'"), std::string::npos)
            << error.what();
        EXPECT_NE(std::string(error.what()).find("after the last frame, 6"), std::string::npos)
            << error.what();
    }
}

} // namespace
} // namespace sandbox
