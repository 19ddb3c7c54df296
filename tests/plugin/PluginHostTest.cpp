// The host's one load and unload sequence, watched through a module that notes
// every step it is put through on the host's console.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/Host.h"
#include "sim/ModuleLibrary.h"
#include "sim/PluginHost.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const std::string kProbe = PROBE_MODULE_DIR "/probe_module.so";

// The steps the module noted since the last call, in order.
std::vector<std::string> Steps(sim::Host& host) {
    std::vector<std::string> steps;
    for (const std::string& line : host.console.output) {
        if (line.rfind("> ", 0) == 0) {
            steps.push_back(line.substr(2));
        }
    }
    host.console.output.clear();
    return steps;
}

std::unique_ptr<sim::PluginHost> Open(const std::string& path, sim::Host& host) {
    std::string error;
    auto hosted = sim::PluginHost::Open(path, host, error);
    EXPECT_TRUE(hosted) << error;
    return hosted;
}

TEST(PluginHostTest, LoadHandsOverTheUiContextBeforeOnLoad) {
    sim::Host host;
    auto hosted = Open(kProbe, host);
    ASSERT_TRUE(hosted);
    std::string error;
    ASSERT_NE(hosted->Load(0x5A17, error), nullptr) << error;
    // The context is handed through the console the host filled in first.
    EXPECT_THAT(Steps(host), ElementsAre("SetUiContext 23063", "onLoad"));
    EXPECT_NE(hosted->Panel(), nullptr);
}

TEST(PluginHostTest, AHostWithoutAUiHandsNothingOver) {
    sim::Host host;
    auto hosted = Open(kProbe, host);
    ASSERT_TRUE(hosted);
    std::string error;
    ASSERT_NE(hosted->Load(0, error), nullptr) << error;
    EXPECT_THAT(Steps(host), ElementsAre("onLoad"));
}

TEST(PluginHostTest, UnloadRunsTheHostsOrderAndClosesTheModule) {
    sim::Host host;
    auto hosted = Open(kProbe, host);
    ASSERT_TRUE(hosted);
    std::string error;
    ASSERT_NE(hosted->Load(0, error), nullptr) << error;
    Steps(host);
    ASSERT_EQ(host.DrawableCount(), 1u);

    hosted->Unload();
    // The host's copy goes before the release, so the release drops the last owner.
    EXPECT_THAT(Steps(host), ElementsAre("onUnload", "release, the last owner", "destroyed"));
    EXPECT_EQ(host.DrawableCount(), 0u) << "the plugin's callbacks went with it";
    EXPECT_FALSE(hosted->Loaded());
    EXPECT_FALSE(sim::ModuleLibraryIsLoaded(kProbe)) << "the module was closed";
    EXPECT_EQ(host.LiveHandles(), 0);

    hosted->Unload();
    EXPECT_THAT(Steps(host), IsEmpty()) << "a second unload does nothing";
}

TEST(PluginHostTest, TheHostsCopyOutlivesTheRelease) {
    sim::Host host;
    auto hosted = Open(kProbe, host);
    ASSERT_TRUE(hosted);
    std::string error;
    ASSERT_NE(hosted->Create(error), nullptr) << error;
    hosted->Descriptor().release();
    EXPECT_THAT(Steps(host), ElementsAre("release"));
    ASSERT_NE(hosted->Plugin(), nullptr);
    hosted->DropPlugin();
    EXPECT_THAT(Steps(host), ElementsAre("destroyed"));
}

TEST(PluginHostTest, ClosingTheModuleOnlySkipsOnUnloadAndRelease) {
    sim::Host host;
    auto hosted = Open(kProbe, host);
    ASSERT_TRUE(hosted);
    std::string error;
    ASSERT_NE(hosted->Load(0, error), nullptr) << error;
    Steps(host);

    hosted->CloseModuleOnly();
    EXPECT_THAT(Steps(host), ElementsAre("destroyed")) << "the module's statics took the plugin";
    EXPECT_EQ(host.DrawableCount(), 0u);
    EXPECT_FALSE(sim::ModuleLibraryIsLoaded(kProbe));
}

TEST(PluginHostTest, AFactoryThatMakesNoPluginIsReported) {
    sim::Host host;
    std::string error;
    auto nullAddress = Open(PROBE_MODULE_DIR "/probe_null_address.so", host);
    ASSERT_TRUE(nullAddress);
    EXPECT_EQ(nullAddress->Load(0, error), nullptr);
    EXPECT_EQ(error, "the factory returned a null address");

    auto emptyReference = Open(PROBE_MODULE_DIR "/probe_empty_reference.so", host);
    ASSERT_TRUE(emptyReference);
    EXPECT_EQ(emptyReference->Create(error), nullptr);
    EXPECT_EQ(error, "the factory left the module's reference empty");
    EXPECT_EQ(host.LiveHandles(), 0) << "no host reference was made for a missing plugin";
}

TEST(PluginHostTest, ARefusedModuleIsReportedByTheLoader) {
    sim::Host host;
    std::string error;
    EXPECT_EQ(sim::PluginHost::Open(PROBE_MODULE_DIR "/absent.so", host, error), nullptr);
    EXPECT_EQ(error, "cannot read module '" PROBE_MODULE_DIR "/absent.so': no such file");
}

} // namespace
