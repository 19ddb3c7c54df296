// Quellmark.dll loaded and driven the way a Windows host does it, with the
// Win32 loader alone: LoadLibraryExW on the module's full path, the descriptor
// through GetProcAddress("exports"), the factory and the release function
// through the descriptor's pointers, FreeLibrary.

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "ProgramFolder.h"
#include "VersionInfo.h"
#include "sdk/PluginDescriptor.h"

namespace {

using PluginReference = std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>;

// Quellmark.dll and pluginsdk.dll copied into a folder of their own, away from
// the copies beside this program, so that loading shows where the module's
// SDK is taken from.
class ModuleFolder {
public:
    ModuleFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("quellmark-host-load-" + std::to_string(GetCurrentProcessId()))) {
        std::filesystem::create_directories(path_);
        for (const char* name : {"Quellmark.dll", "pluginsdk.dll"}) {
            std::filesystem::copy_file(wintest::ProgramFolder() / name, path_ / name,
                                       std::filesystem::copy_options::overwrite_existing);
        }
    }
    ~ModuleFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

std::filesystem::path LoadedFrom(HMODULE module) {
    wchar_t name[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, name, MAX_PATH);
    return length ? std::filesystem::path(std::wstring(name, length)) : std::filesystem::path();
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

class WindowsHostLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        module_ =
            LoadLibraryExW(ModulePath().c_str(), nullptr,
                           LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
        ASSERT_NE(module_, nullptr) << "LoadLibraryExW: " << wintest::SystemMessage(GetLastError());
    }
    void TearDown() override {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }

    std::filesystem::path ModulePath() const { return folder_.Path() / "Quellmark.dll"; }

    const PluginDescriptor& Descriptor() const {
        const auto* descriptor =
            reinterpret_cast<const PluginDescriptor*>(GetProcAddress(module_, "exports"));
        if (descriptor == nullptr) {
            throw std::runtime_error("no symbol 'exports'");
        }
        return *descriptor;
    }

    template <typename Function> Function Procedure(const char* name) const {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

    ModuleFolder folder_;
    HMODULE module_ = nullptr;
};

} // namespace

TEST_F(WindowsHostLoadTest, DescriptorReadThroughGetProcAddress) {
    const PluginDescriptor& d = Descriptor();
    EXPECT_EQ(d.interfaceVersion, kPluginInterfaceVersion);
    EXPECT_STREQ(d.className, "Quellmark");
    EXPECT_EQ(d.pluginType, 1);
    ASSERT_NE(d.sourcePath, nullptr);
    EXPECT_TRUE(std::string(d.sourcePath).ends_with("Quellmark.cpp")) << d.sourcePath;
    EXPECT_EQ(d.factory, Procedure<PluginFactory>("getPlugin"));
    EXPECT_EQ(d.release, Procedure<PluginRelease>("deleteMe"));
}

TEST_F(WindowsHostLoadTest, DescriptorVersionIsTheVersionResources) {
    // Both come from the one version the build knows.
    EXPECT_EQ(wintest::VersionInfo(ModulePath()).Text("FileVersion"), Descriptor().versionText);
}

TEST_F(WindowsHostLoadTest, SdkIsTakenFromBesideTheModule) {
    const HMODULE sdk = GetModuleHandleW(L"pluginsdk.dll");
    ASSERT_NE(sdk, nullptr) << "loading the module loads the SDK";
    EXPECT_TRUE(SameFile(LoadedFrom(sdk), folder_.Path() / "pluginsdk.dll"))
        << "the SDK came from " << LoadedFrom(sdk).string();
    EXPECT_TRUE(SameFile(LoadedFrom(module_), ModulePath()));
}

TEST_F(WindowsHostLoadTest, FactoryAndReleaseThroughTheDescriptor) {
    const PluginDescriptor& d = Descriptor();
    PluginReference* reference = d.factory();
    ASSERT_NE(reference, nullptr);
    ASSERT_TRUE(*reference) << "the factory creates the plugin";
    EXPECT_EQ(d.factory(), reference) << "a second call hands back the same reference";

    PluginReference hostCopy = *reference;
    EXPECT_EQ(hostCopy.use_count(), 2);
    d.release();
    EXPECT_FALSE(*reference) << "release empties the module's reference";
    EXPECT_EQ(hostCopy.use_count(), 1) << "the host's copy keeps the plugin alive";
    hostCopy.reset();

    EXPECT_TRUE(*d.factory()) << "after a release the factory creates a new plugin";
    d.release();
}

TEST_F(WindowsHostLoadTest, FreeLibraryUnloadsTheModuleAndItsSdk) {
    Descriptor().factory();
    Descriptor().release();
    ASSERT_TRUE(FreeLibrary(module_));
    module_ = nullptr;
    EXPECT_EQ(GetModuleHandleW(ModulePath().c_str()), nullptr) << "Quellmark.dll is still loaded";
    EXPECT_EQ(GetModuleHandleW(L"pluginsdk.dll"), nullptr) << "pluginsdk.dll is still loaded";
}
