// The host's one load and unload sequence, watched through a module that notes
// every step it is put through on the host's console.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sim/Host.h"
#include "sim/HostedPlugin.h"
#include "sim/ModuleLibrary.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const std::string kProbe = PROBE_MODULE_DIR "/probe_module" MODULE_SUFFIX;

class HostedPluginTest : public ::testing::Test {
protected:
    // Opens the module into the host; a refusal fails the test.
    sim::HostedPlugin& Open(const std::string& path = kProbe) {
        std::string error;
        hosted_.push_back(sim::HostedPlugin::Open(path, host_, error));
        EXPECT_NE(hosted_.back(), nullptr) << error;
        return *hosted_.back();
    }

    // Opens and loads the probe, and forgets the steps of loading.
    sim::HostedPlugin& Loaded() {
        sim::HostedPlugin& hosted = Open();
        std::string error;
        EXPECT_NE(hosted.Load(0, error), nullptr) << error;
        Steps();
        return hosted;
    }

    // The steps the module noted since the last call, in order.
    std::vector<std::string> Steps() {
        std::vector<std::string> steps;
        for (const std::string& line : host_.console.output) {
            if (line.rfind("> ", 0) == 0) {
                steps.push_back(line.substr(2));
            }
        }
        host_.console.output.clear();
        return steps;
    }

    sim::Host host_;
    std::vector<std::unique_ptr<sim::HostedPlugin>> hosted_;
    std::string error_;
};

TEST_F(HostedPluginTest, LoadHandsOverTheUiContextBeforeOnLoad) {
    sim::HostedPlugin& hosted = Open();
    ASSERT_NE(hosted.Load(0x5A17, error_), nullptr) << error_;
    // The context is handed through the console the host filled in first.
    EXPECT_THAT(Steps(), ElementsAre("SetUiContext 23063", "onLoad"));
    EXPECT_NE(hosted.Panel(), nullptr);
}

TEST_F(HostedPluginTest, AHostWithoutAUiHandsNothingOver) {
    ASSERT_NE(Open().Load(0, error_), nullptr) << error_;
    EXPECT_THAT(Steps(), ElementsAre("onLoad"));
}

TEST_F(HostedPluginTest, UnloadRunsTheHostsOrderAndClosesTheModule) {
    sim::HostedPlugin& hosted = Loaded();
    ASSERT_EQ(host_.DrawableCount(), 1u);

    hosted.Unload();
    // The host's copy goes before the release, so the release drops the last owner.
    EXPECT_THAT(Steps(), ElementsAre("onUnload", "release, the last owner", "destroyed"));
    EXPECT_EQ(host_.DrawableCount(), 0u) << "the plugin's callbacks went with it";
    EXPECT_FALSE(hosted.Loaded());
    EXPECT_FALSE(sim::ModuleLibraryIsLoaded(kProbe)) << "the module was closed";
    EXPECT_EQ(host_.LiveHandles(), 0);

    hosted.Unload();
    EXPECT_THAT(Steps(), IsEmpty()) << "a second unload does nothing";
}

TEST_F(HostedPluginTest, TheHostsCopyOutlivesTheRelease) {
    sim::HostedPlugin& hosted = Open();
    ASSERT_NE(hosted.Create(error_), nullptr) << error_;
    hosted.Descriptor().release();
    EXPECT_THAT(Steps(), ElementsAre("release"));
    ASSERT_NE(hosted.Plugin(), nullptr);
    hosted.DropPlugin();
    EXPECT_THAT(Steps(), ElementsAre("destroyed"));
}

TEST_F(HostedPluginTest, ClosingTheModuleOnlySkipsOnUnloadAndRelease) {
    Loaded().CloseModuleOnly();
    EXPECT_THAT(Steps(), ElementsAre("destroyed")) << "the module's statics took the plugin";
    EXPECT_EQ(host_.DrawableCount(), 0u);
    EXPECT_FALSE(sim::ModuleLibraryIsLoaded(kProbe));
}

TEST_F(HostedPluginTest, AFactoryThatMakesNoPluginIsReported) {
    EXPECT_EQ(Open(PROBE_MODULE_DIR "/probe_null_address" MODULE_SUFFIX).Load(0, error_), nullptr);
    EXPECT_EQ(error_, "the factory returned a null address");
    EXPECT_EQ(Open(PROBE_MODULE_DIR "/probe_empty_reference" MODULE_SUFFIX).Create(error_),
              nullptr);
    EXPECT_EQ(error_, "the factory left the module's reference empty");
    EXPECT_EQ(host_.LiveHandles(), 0) << "no host reference was made for a missing plugin";
}

TEST_F(HostedPluginTest, ARefusedModuleIsReportedByTheLoader) {
    EXPECT_EQ(sim::HostedPlugin::Open(PROBE_MODULE_DIR "/absent" MODULE_SUFFIX, host_, error_),
              nullptr);
    EXPECT_EQ(error_,
              "cannot read module '" PROBE_MODULE_DIR "/absent" MODULE_SUFFIX "': no such file");
}

} // namespace
