#include <gtest/gtest.h>

#include <SDL.h>

#include "InputError.h"
#include "Script.h"

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
    for (const char* bad : {"click panel", "0 key Escape", "3 key NoSuchKey", "3 click 10",
                            "3 wave", "3 screenshot /no/such/folder/x.png", "3 console"}) {
        EXPECT_THROW(ParseScript(bad), InputError) << bad;
    }
}

} // namespace
} // namespace sandbox
