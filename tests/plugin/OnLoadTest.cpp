// What the plugin registers with the host when it loads, checked through the
// host's record of the plugin's SDK calls.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "PluginUnderTest.h"
#include "sim/GameFunctions.h"

using ::testing::ElementsAre;

namespace {

// The game's functions, in the order the plugin hooks them.
const char* const kHookedFunctions[] = {
    sim::kFreeplayInit,      sim::kSoccarDestroyed,    sim::kTrainingStartPlayTest,
    sim::kTrainingDestroyed, sim::kCarSetVehicleInput,
};

std::string Hooked(const char* function) {
    return std::string("HookEvent \"") + function + "\"";
}

} // namespace

TEST(OnLoadTest, RegistersInOrderWithTheExactArguments) {
    PluginUnderTest hosted;
    hosted.Create();
    hosted.host.log.calls = true;
    hosted.host.log.handles = true;
    hosted.Plugin()->onLoad();

    EXPECT_THAT(
        hosted.host.log.lines,
        ElementsAre(R"(registerCvar "qm_enabled" "0" "Plugin Enabled" true false 0 false 0 true)",
                    "+CVarWrapper", "bindTo", "-CVarWrapper", Hooked(kHookedFunctions[0]),
                    Hooked(kHookedFunctions[1]), Hooked(kHookedFunctions[2]),
                    Hooked(kHookedFunctions[3]), "RegisterDrawable", Hooked(kHookedFunctions[4])));
    EXPECT_THAT(hosted.host.HookedFunctions(),
                ElementsAre(kHookedFunctions[0], kHookedFunctions[1], kHookedFunctions[2],
                            kHookedFunctions[3], kHookedFunctions[4]));
    EXPECT_EQ(hosted.host.DrawableCount(), 1u);
}

TEST(OnLoadTest, VariableKeepsItsDefaultAndTheFlagFollowsIt) {
    PluginUnderTest hosted;
    hosted.Load();
    const sim::Variable* variable = hosted.host.console.Find("qm_enabled");
    ASSERT_NE(variable, nullptr);
    EXPECT_EQ(variable->value, "0");
    EXPECT_EQ(variable->description, "Plugin Enabled");
    EXPECT_TRUE(variable->saveToConfig);

    auto& bindings = hosted.Bindings("qm_enabled");
    ASSERT_EQ(bindings.size(), 1u);
    const std::shared_ptr<bool> flag = bindings[0];
    EXPECT_EQ(flag.use_count(), 3) << "owned by the plugin, the binding and this test";
    EXPECT_FALSE(*flag) << "binding copies the variable's value, so the two agree";

    hosted.host.console.Execute("qm_enabled 1");
    EXPECT_TRUE(*flag);
    hosted.host.console.Execute("qm_enabled 0");
    EXPECT_FALSE(*flag);
}

TEST(OnLoadTest, SavedValueReachesTheFlagAtRegistration) {
    PluginUnderTest hosted;
    hosted.host.console.Preset("qm_enabled", "1");
    hosted.Load();
    EXPECT_EQ(hosted.host.console.Find("qm_enabled")->value, "1");
    EXPECT_TRUE(*hosted.Bindings("qm_enabled")[0]);
}

TEST(OnLoadTest, KeepsASecondOwnerOfTheConsole) {
    PluginUnderTest hosted;
    auto& plugin = hosted.Create();
    EXPECT_EQ(plugin.cvarManager.use_count(), 1);
    plugin.onLoad();
    EXPECT_EQ(plugin.cvarManager.use_count(), 2) << "the module-wide reference holds it too";
}

TEST(OnLoadTest, SecondLoadMakesANewFlagAndRepeatsEveryRegistration) {
    PluginUnderTest hosted;
    hosted.Load();
    const std::weak_ptr<bool> firstFlag = hosted.Bindings("qm_enabled")[0];
    hosted.Plugin()->onLoad();

    auto& bindings = hosted.Bindings("qm_enabled");
    ASSERT_EQ(bindings.size(), 2u);
    EXPECT_NE(bindings[0], bindings[1]) << "the second load binds a new flag";
    EXPECT_EQ(firstFlag.use_count(), 1) << "the plugin dropped its first flag";
    EXPECT_EQ(hosted.host.HookedFunctions().size(), 10u);
    EXPECT_EQ(hosted.host.DrawableCount(), 2u);
    EXPECT_EQ(hosted.host.console.Variables().size(), 1u);
}

TEST(OnLoadTest, HookedFunctionsChangeNothing) {
    PluginUnderTest hosted;
    hosted.host.console.Preset("qm_enabled", "1");
    hosted.Load();
    hosted.host.log.calls = true;
    const long handlesBefore = hosted.host.LiveHandles();

    for (int round = 0; round < 100; ++round) {
        for (const char* function : kHookedFunctions) {
            ASSERT_EQ(hosted.host.FireHook(function), 1) << function;
        }
    }
    EXPECT_TRUE(hosted.host.log.lines.empty()) << "a hook made an SDK call";
    EXPECT_EQ(hosted.host.console.Find("qm_enabled")->value, "1");
    EXPECT_TRUE(*hosted.Bindings("qm_enabled")[0]);
    EXPECT_EQ(hosted.host.LiveHandles(), handlesBefore);
}

TEST(OnLoadTest, UnloadDoesNothingAndEveryHandleIsReturned) {
    PluginUnderTest hosted;
    hosted.Load();
    hosted.host.log.calls = true;
    hosted.Plugin()->onUnload();
    EXPECT_TRUE(hosted.host.log.lines.empty());
    EXPECT_EQ(hosted.host.HookedFunctions().size(), 5u) << "onUnload withdraws nothing";

    hosted.Unload();
    EXPECT_EQ(hosted.host.LiveHandles(), 0);
}
