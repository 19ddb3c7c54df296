// The settings page driven headlessly: this test owns a real Dear ImGui
// context, as the host does, and hands it to the module.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "PluginUnderTest.h"
#include "validate/panel/PanelDriver.h"

using ::testing::ElementsAre;

namespace {

class SettingsPanelTest : public ::testing::Test {
protected:
    ~SettingsPanelTest() override {
        hosted_.Unload();
        EXPECT_EQ(hosted_.host.LiveHandles(), 0);
    }

    void LoadWithContext() { hosted_.Load(ui_.Handle()); }

    // One UI frame with the panel open; the calls the panel made in it.
    std::vector<std::string> Frame() { return ui_.Frame(hosted_.Panel(), hosted_.host); }

    // Presses and releases the mouse over the checkbox; the calls of the
    // releasing frame, where the toggle lands.
    std::vector<std::string> Click() { return ui_.Click(hosted_.Panel(), hosted_.host); }

    bool Flag() { return *hosted_.Bindings("qm_enabled")[0]; }

    // The validator's headless settings window, which owns a real Dear ImGui
    // context as the host does.
    validate::PanelDriver ui_;
    PluginUnderTest hosted_;
};

} // namespace

TEST_F(SettingsPanelTest, PanelIsNamedAfterThePlugin) {
    LoadWithContext();
    EXPECT_EQ(hosted_.Panel().GetPanelName(), "Quellmark");
}

TEST_F(SettingsPanelTest, FramesWithoutAClickOnlyReadTheVariable) {
    LoadWithContext();
    EXPECT_THAT(Frame(), ElementsAre(R"(getCvar "qm_enabled")", "getBoolValue"));
    for (int i = 0; i < 5; ++i) {
        EXPECT_THAT(Frame(), ElementsAre("getBoolValue")) << "the handle is fetched only once";
    }
    EXPECT_EQ(hosted_.host.writeConfigCount, 0);
}

TEST_F(SettingsPanelTest, ClickSetsTheVariableThenSavesAndTheFlagFollows) {
    LoadWithContext();
    Frame();
    ASSERT_FALSE(Flag());

    EXPECT_THAT(Click(),
                ElementsAre("getBoolValue", "setValue 1", R"(executeCommand "writeconfig" false)"));
    EXPECT_EQ(hosted_.host.console.Find("qm_enabled")->value, "1");
    EXPECT_TRUE(Flag()) << "the plugin's flag follows the variable through the binding";
    EXPECT_EQ(hosted_.host.writeConfigCount, 1);

    EXPECT_THAT(Frame(), ElementsAre("getBoolValue")) << "a frame after the click writes nothing";
    EXPECT_THAT(Click(),
                ElementsAre("getBoolValue", "setValue 0", R"(executeCommand "writeconfig" false)"));
    EXPECT_FALSE(Flag());
    EXPECT_EQ(hosted_.host.writeConfigCount, 2);
}

TEST_F(SettingsPanelTest, ValueSetFromTheConsoleShowsOnTheNextFrame) {
    LoadWithContext();
    Frame();
    hosted_.host.console.Execute("qm_enabled 1");
    // The checkbox now shows the new value, so a click clears it.
    EXPECT_THAT(Click(),
                ElementsAre("getBoolValue", "setValue 0", R"(executeCommand "writeconfig" false)"));
    EXPECT_FALSE(Flag());
}

TEST_F(SettingsPanelTest, ConcurrentFirstDrawsFetchTheHandleOnce) {
    // Before the host hands over its context the panel draws nothing, so the
    // racing first calls touch only the once-only fetch.
    hosted_.Load();
    hosted_.host.log.calls = true;
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([this] { hosted_.Panel().DrawSettingsPanel(); });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_THAT(hosted_.host.log.lines, ElementsAre(R"(getCvar "qm_enabled")"));
    hosted_.host.log.calls = false;

    hosted_.Panel().SetUiContext(ui_.Handle());
    EXPECT_THAT(Frame(), ElementsAre("getBoolValue"));
}
