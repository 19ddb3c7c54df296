// The module seen from the host loader: Quellmark's texts in its descriptor,
// and the life of the one plugin instance.

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>

#include "AllocationFailure.h"
#include "PluginUnderTest.h"
#include "plugin/PluginVersion.h"

namespace {

using PluginReference = std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>;

} // namespace

// Quellmark's own texts in its descriptor. The record's layout is fixed at
// compile time (sdk/PluginDescriptor.h); what every module's record must hold
// - the interface version, zero fillers, the plugin type, sane texts, the
// entry points it exports - is the validator's descriptor check, which passes
// Quellmark among others (ValidateCommandTest).
TEST(ModuleDescriptorTest, NamesQuellmarkAndItsVersion) {
    PluginUnderTest hosted;
    const PluginDescriptor& d = hosted.Module().Descriptor();
    ASSERT_NE(d.sourcePath, nullptr);
    EXPECT_TRUE(std::string(d.sourcePath).ends_with("plugin/Quellmark.cpp")) << d.sourcePath;
    EXPECT_STREQ(d.className, "Quellmark");
    EXPECT_STREQ(d.title, "write a plugin description here");
    EXPECT_STREQ(d.versionText, kPluginVersionText);
}

TEST(ModuleLifetimeTest, FactoryCreatesOneInstance) {
    PluginUnderTest hosted;
    const auto& d = hosted.Module().Descriptor();
    PluginReference* first = d.factory();
    ASSERT_TRUE(*first);
    const auto* instance = first->get();
    EXPECT_EQ(first->use_count(), 1);

    PluginReference* second = d.factory();
    EXPECT_EQ(second, first) << "the factory hands out the module's one reference";
    EXPECT_EQ(second->get(), instance);
    EXPECT_EQ(second->use_count(), 1);
}

TEST(ModuleLifetimeTest, ReleaseBeforeFactoryDoesNothing) {
    PluginUnderTest hosted;
    hosted.Module().Descriptor().release();
    hosted.Module().Descriptor().release();
    PluginReference* reference = hosted.Module().Descriptor().factory();
    EXPECT_EQ(reference->use_count(), 1);
}

TEST(ModuleLifetimeTest, HostCopyKeepsThePluginAliveAfterRelease) {
    PluginUnderTest hosted;
    // The host copies the module's reference as it creates the plugin.
    auto& plugin = hosted.Create();
    std::shared_ptr<CVarManagerWrapper> console = plugin.cvarManager;
    const auto& d = hosted.Module().Descriptor();

    PluginReference* reference = d.factory();
    EXPECT_EQ(reference->get(), hosted.Plugin());
    EXPECT_EQ(reference->use_count(), 2) << "the module's reference and the host's copy";
    EXPECT_EQ(console.use_count(), 2);
    d.release();
    EXPECT_FALSE(*reference) << "release empties the module's reference";
    d.release();
    EXPECT_FALSE(*reference);
    EXPECT_EQ(console.use_count(), 2) << "the host's copy still owns the plugin";

    hosted.DropPlugin();
    EXPECT_EQ(console.use_count(), 1) << "the last owner gone, the plugin is destroyed";
}

TEST(ModuleLifetimeTest, FactoryAfterReleaseCreatesAFreshInstance) {
    PluginUnderTest hosted;
    hosted.Load();
    std::shared_ptr<CVarManagerWrapper> console = hosted.Plugin()->cvarManager;
    const auto& d = hosted.Module().Descriptor();
    d.release();
    // The host's copy keeps the first plugin; the module's reference is empty.

    PluginReference* reference = d.factory();
    EXPECT_NE(reference->get(), hosted.Plugin()) << "the factory made a second plugin";
    ASSERT_TRUE(*reference);
    EXPECT_EQ((*reference)->cvarManager, nullptr) << "a new instance starts with empty references";
    EXPECT_EQ((*reference)->gameWrapper, nullptr);
}

TEST(ModuleLifetimeTest, UnloadWithTheInstanceSetDestroysIt) {
    sim::Host host;
    std::shared_ptr<GameWrapper> game = host.MakeGameWrapper();
    {
        std::string error;
        auto module = sim::LoadedModule::Open(QUELLMARK_MODULE_PATH, error);
        ASSERT_TRUE(module) << error;
        (*module->Descriptor().factory())->gameWrapper = game;
        EXPECT_EQ(game.use_count(), 2);
        // Unloaded without release: the module's own static reference goes.
    }
    EXPECT_EQ(game.use_count(), 1) << "the plugin died with the module";
    game.reset();
    EXPECT_EQ(host.LiveHandles(), 0);
}

TEST(ModuleLifetimeTest, AllocationFailureLeavesTheReferenceEmpty) {
    PluginUnderTest hosted;
    const auto& d = hosted.Module().Descriptor();
    PluginReference* reference = d.factory();
    d.release();
    ASSERT_FALSE(*reference);

    {
        AllocationFailure failing;
        EXPECT_THROW(d.factory(), std::bad_alloc);
    }
    EXPECT_FALSE(*reference) << "a failed creation leaves nothing behind";
    EXPECT_TRUE(*d.factory()) << "and the next call succeeds";
}
