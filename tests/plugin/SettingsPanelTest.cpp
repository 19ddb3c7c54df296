// The settings page driven headlessly: this test owns a real Dear ImGui
// context, as the host does, and hands it to the module.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <imgui.h>

#include <thread>
#include <vector>

#include "HostedPlugin.h"

using ::testing::ElementsAre;

namespace {

class SettingsPanelTest : public ::testing::Test {
protected:
    SettingsPanelTest() {
        context_ = ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.DisplaySize = ImVec2(800.0f, 600.0f);
        io.IniFilename = nullptr;
        unsigned char* pixels = nullptr;
        int width = 0;
        int height = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    }

    ~SettingsPanelTest() override {
        hosted_.Unload();
        EXPECT_EQ(hosted_.host.LiveHandles(), 0);
        ImGui::DestroyContext(context_);
    }

    void LoadWithContext() { hosted_.Load(reinterpret_cast<std::uintptr_t>(context_)); }

    // One UI frame with the mouse at `mouse`, its left button as given. Returns
    // the calls the panel made during the frame.
    std::vector<std::string> Frame(ImVec2 mouse = ImVec2(-1.0f, -1.0f), bool pressed = false) {
        ImGuiIO& io = ImGui::GetIO();
        io.DeltaTime = 1.0f / 60.0f;
        io.MousePos = mouse;
        io.MouseDown[0] = pressed;
        ImGui::NewFrame();
        ImGui::SetNextWindowPos(ImVec2(10.0f, 10.0f));
        ImGui::SetNextWindowSize(ImVec2(300.0f, 200.0f));
        ImGui::Begin(hosted_.Panel().GetPanelName().c_str());
        hosted_.host.log.Clear();
        hosted_.host.log.calls = true;
        hosted_.Panel().DrawSettingsPanel();
        hosted_.host.log.calls = false;
        checkbox_ = ImVec2((ImGui::GetItemRectMin().x + ImGui::GetItemRectMax().x) * 0.5f,
                           (ImGui::GetItemRectMin().y + ImGui::GetItemRectMax().y) * 0.5f);
        ImGui::End();
        ImGui::Render();
        return hosted_.host.log.lines;
    }

    // Moves the mouse over the checkbox, presses and releases it, over three
    // frames; returns the calls of all three.
    std::vector<std::string> Click() {
        std::vector<std::string> calls;
        for (bool pressed : {false, true, false}) {
            for (auto& call : Frame(checkbox_, pressed)) {
                calls.push_back(std::move(call));
            }
        }
        return calls;
    }

    bool Flag() { return *hosted_.Bindings("qm_enabled")[0]; }

    HostedPlugin hosted_;
    ImGuiContext* context_ = nullptr;
    ImVec2 checkbox_;
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

    EXPECT_THAT(Click(), ElementsAre("getBoolValue", "getBoolValue", "getBoolValue", "setValue 1",
                                     R"(executeCommand "writeconfig" false)"));
    EXPECT_EQ(hosted_.host.console.Find("qm_enabled")->value, "1");
    EXPECT_TRUE(Flag()) << "the plugin's flag follows the variable through the binding";
    EXPECT_EQ(hosted_.host.writeConfigCount, 1);

    EXPECT_THAT(Frame(), ElementsAre("getBoolValue")) << "a frame after the click writes nothing";
    EXPECT_THAT(Click(), ElementsAre("getBoolValue", "getBoolValue", "getBoolValue", "setValue 0",
                                     R"(executeCommand "writeconfig" false)"));
    EXPECT_FALSE(Flag());
    EXPECT_EQ(hosted_.host.writeConfigCount, 2);
}

TEST_F(SettingsPanelTest, ValueSetFromTheConsoleShowsOnTheNextFrame) {
    LoadWithContext();
    Frame();
    hosted_.host.console.Execute("qm_enabled 1");
    // The checkbox now shows the new value, so a click clears it.
    EXPECT_THAT(Click(), ElementsAre("getBoolValue", "getBoolValue", "getBoolValue", "setValue 0",
                                     R"(executeCommand "writeconfig" false)"));
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

    hosted_.Panel().SetUiContext(reinterpret_cast<std::uintptr_t>(context_));
    EXPECT_THAT(Frame(), ElementsAre("getBoolValue"));
}
