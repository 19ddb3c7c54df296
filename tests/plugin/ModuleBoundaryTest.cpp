// The module seen from the host loader: its descriptor read as raw bytes at
// the agreed offsets, and the life of the one plugin instance.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "AllocationFailure.h"
#include "PluginUnderTest.h"
#include "plugin/PluginVersion.h"

namespace {

template <typename T> T ReadAt(const void* base, std::size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(base) + offset, sizeof value);
    return value;
}

using PluginReference = std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>;

} // namespace

TEST(ModuleDescriptorTest, FieldsSitAtTheirOffsets) {
    PluginUnderTest hosted;
    const void* table = hosted.Module().Symbol("exports");
    ASSERT_NE(table, nullptr);

    EXPECT_EQ(ReadAt<std::int32_t>(table, 0), 95);
    EXPECT_EQ(ReadAt<std::int32_t>(table, 4), 0) << "filler after the interface version";
    const std::string sourcePath = ReadAt<const char*>(table, 8);
    EXPECT_TRUE(sourcePath.ends_with("plugin/Quellmark.cpp")) << sourcePath;
    EXPECT_STREQ(ReadAt<const char*>(table, 16), "Quellmark");
    EXPECT_STREQ(ReadAt<const char*>(table, 24), "write a plugin description here");
    EXPECT_STREQ(ReadAt<const char*>(table, 32), kPluginVersionText);
    EXPECT_EQ(ReadAt<std::int32_t>(table, 40), 1);
    EXPECT_EQ(ReadAt<std::int32_t>(table, 44), 0) << "filler after the plugin type";
    EXPECT_EQ(ReadAt<void*>(table, 48), hosted.Module().Symbol("getPlugin"));
    EXPECT_EQ(ReadAt<void*>(table, 56), hosted.Module().Symbol("deleteMe"));
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
