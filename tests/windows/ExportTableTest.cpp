// The export and import tables of the built DLLs, read from the files as a
// Windows loader reads them: what Quellmark.dll offers a host, and that the
// module and the SDK library need nothing but system DLLs (and the module the
// SDK), the C++ runtime linked in.

#include <windows.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PeFile.h"
#include "ProgramFolder.h"

namespace {

using wintest::PeFile;
using wintest::ProgramFolder;
using wintest::ReadPeFile;

const PeFile& Module() {
    static const PeFile pe = ReadPeFile(ProgramFolder() / "Quellmark.dll");
    return pe;
}

const PeFile& Sdk() {
    static const PeFile pe = ReadPeFile(ProgramFolder() / "pluginsdk.dll");
    return pe;
}

const wintest::PeExport* FindExport(const PeFile& pe, const std::string& name) {
    for (const auto& entry : pe.exports) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

// The plugin base class's members, vtable and type information, in the
// Itanium mangling MinGW uses.
const std::regex kPluginBaseSymbol(
    "_ZN9BakkesMod6Plugin15BakkesModPlugin.*|_ZT[VIS]N9BakkesMod6Plugin15BakkesModPluginE");

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// A DLL the system provides: present in its system folder.
bool IsSystemDll(const std::string& name) {
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH &&
           std::filesystem::exists(std::filesystem::path(folder) / name);
}

} // namespace

TEST(ModuleExportTableTest, HoldsTheEntryPointsAndThePluginBaseOnly) {
    std::vector<std::string> unexpected;
    int imgui = 0;
    for (const auto& entry : Module().exports) {
        const bool entryPoint =
            entry.name == "exports" || entry.name == "getPlugin" || entry.name == "deleteMe";
        if (!entryPoint && !std::regex_match(entry.name, kPluginBaseSymbol)) {
            unexpected.push_back(entry.name);
            imgui += entry.name.find("ImGui") != std::string::npos;
        }
    }
    EXPECT_TRUE(unexpected.empty())
        << unexpected.size() << " exports beyond the boundary (" << imgui
        << " of them Dear ImGui's), the first: " << unexpected.front();
    for (const char* required :
         {"exports", "getPlugin", "deleteMe", "_ZN9BakkesMod6Plugin15BakkesModPlugin6onLoadEv",
          "_ZN9BakkesMod6Plugin15BakkesModPlugin8onUnloadEv",
          "_ZTVN9BakkesMod6Plugin15BakkesModPluginE", "_ZTIN9BakkesMod6Plugin15BakkesModPluginE"}) {
        EXPECT_NE(FindExport(Module(), required), nullptr) << "missing export " << required;
    }
}

TEST(ModuleExportTableTest, DescriptorIsDataAndTheFunctionsCode) {
    const auto* descriptor = FindExport(Module(), "exports");
    const auto* factory = FindExport(Module(), "getPlugin");
    const auto* release = FindExport(Module(), "deleteMe");
    ASSERT_TRUE(descriptor && factory && release);
    EXPECT_FALSE(descriptor->code) << "the descriptor must point at data, not code";
    EXPECT_TRUE(factory->code);
    EXPECT_TRUE(release->code);
}

TEST(ModuleExportTableTest, BuiltForAmd64) {
    EXPECT_EQ(Module().machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_EQ(Sdk().machine, IMAGE_FILE_MACHINE_AMD64);
}

TEST(RuntimeDependencyTest, ModuleNeedsTheSdkAndSystemDllsOnly) {
    bool sdk = false;
    for (const auto& dll : Module().importedDlls) {
        if (Lower(dll) == "pluginsdk.dll") {
            sdk = true;
            continue;
        }
        EXPECT_TRUE(IsSystemDll(dll)) << "Quellmark.dll needs " << dll
                                      << ", which is no system DLL and does not travel with it";
    }
    EXPECT_TRUE(sdk) << "Quellmark.dll should call the host SDK in pluginsdk.dll";
}

TEST(RuntimeDependencyTest, SdkNeedsSystemDllsOnly) {
    for (const auto& dll : Sdk().importedDlls) {
        EXPECT_TRUE(IsSystemDll(dll)) << "pluginsdk.dll needs " << dll;
    }
}

TEST(RuntimeDependencyTest, SdkDoesNotReexportTheRuntime) {
    // Linked statically, the C++ runtime must stay inside each DLL: re-exported
    // from pluginsdk.dll, its symbols clash with every module's own copy.
    const std::regex runtime(
        "_ZNSt.*|_ZSt.*|_ZNKSt.*|_Unwind_.*|__cxa_.*|__gxx_.*|_ZdlPv.*|_Znwy.*");
    for (const auto& entry : Sdk().exports) {
        EXPECT_FALSE(std::regex_match(entry.name, runtime)) << entry.name;
    }
    EXPECT_FALSE(Sdk().exports.empty());
}
