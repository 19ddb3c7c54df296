// Quellmark.dll's version resource as Windows reads it. The expected version
// is written here on purpose, apart from CMake's project(VERSION) that the
// build fills the resource from, so that this test checks the build.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ProgramFolder.h"
#include "VersionInfo.h"

namespace {

const std::vector<std::uint16_t> kVersion = {1, 0, 0, 78};
const char* const kVersionText = "1.0.0.78";

const wintest::VersionInfo& ModuleVersion() {
    static const wintest::VersionInfo info(wintest::ProgramFolder() / "Quellmark.dll");
    return info;
}

} // namespace

TEST(VersionResourceTest, FixedFileAndProductVersionAre1_0_0_78) {
    EXPECT_EQ(ModuleVersion().FileVersion(), kVersion);
    EXPECT_EQ(ModuleVersion().ProductVersion(), kVersion);
    EXPECT_EQ(ModuleVersion().FileType(), std::uint32_t(VFT_DLL));
}

TEST(VersionResourceTest, StringTableNamesTheFileAndItsVersion) {
    // U.S. English, Unicode: the table the translation entry points at.
    EXPECT_EQ(ModuleVersion().Translation(), 0x040904b0u);
    EXPECT_EQ(ModuleVersion().Text("FileVersion"), kVersionText);
    EXPECT_EQ(ModuleVersion().Text("ProductVersion"), kVersionText);
    EXPECT_EQ(ModuleVersion().Text("OriginalFilename"), "Quellmark.dll");
    EXPECT_EQ(ModuleVersion().Text("InternalName"), "Quellmark");
    EXPECT_EQ(ModuleVersion().Text("ProductName"), "Quellmark");
}

TEST(VersionResourceTest, DescriptiveFieldsAreFilled) {
    for (const char* field : {"FileDescription", "CompanyName", "LegalCopyright"}) {
        const auto text = ModuleVersion().Text(field);
        ASSERT_TRUE(text.has_value()) << field << " is missing";
        EXPECT_GE(text->size(), 8u) << field << " says too little: '" << *text << "'";
    }
    EXPECT_NE(ModuleVersion().Text("FileDescription")->find("Quellmark"), std::string::npos);
    EXPECT_NE(ModuleVersion().Text("LegalCopyright")->find("Copyright"), std::string::npos);
}
