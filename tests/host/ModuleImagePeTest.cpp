// The PE side of the module file check: copies of the real Quellmark.dll,
// cut short or patched, are refused with the check that failed; a copy cut
// past its last section passes.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "ModuleImageFixture.h"

namespace moduleimagetest {
namespace {

// Offsets read independently of the check.
std::size_t NtOffset(const std::string& image) {
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, image.data(), sizeof dos);
    return static_cast<std::size_t>(dos.e_lfanew);
}

// Where the last section's bytes end.
std::size_t SectionsEnd(const std::string& image) {
    IMAGE_NT_HEADERS64 nt;
    std::memcpy(&nt, image.data() + NtOffset(image), sizeof nt);
    const std::size_t table = NtOffset(image) + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                              nt.FileHeader.SizeOfOptionalHeader;
    std::size_t end = 0;
    for (int i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        std::memcpy(&section, image.data() + table + i * sizeof section, sizeof section);
        end = std::max<std::size_t>(end, section.PointerToRawData + section.SizeOfRawData);
    }
    return end;
}

TEST_F(ModuleImageCheckTest, EveryCutIntoASectionIsRefused) {
    const std::size_t end = SectionsEnd(module);
    ASSERT_GT(end, 20000u);
    std::vector<std::size_t> cuts = {4096, 20000, end - 4096, end - 1};
    for (std::size_t cut = 65536; cut < end; cut += 65536) {
        cuts.push_back(cut);
    }
    ExpectCutsRefused(cuts, "module.dll': truncated: section '");
    EXPECT_EQ(Check(module.substr(0, end)), "")
        << "what follows the last section (debug data, if any) is never mapped";
}

TEST_F(ModuleImageCheckTest, CutsIntoTheHeadersSayWhatIsMissing) {
    EXPECT_NE(Check("").find("not a PE file (no MZ header)"), std::string::npos);
    EXPECT_NE(Check(module.substr(0, 40)).find("truncated: the DOS header"), std::string::npos)
        << Check(module.substr(0, 40));
    EXPECT_NE(Check(module.substr(0, NtOffset(module) + 10)).find("truncated: the PE header"),
              std::string::npos)
        << Check(module.substr(0, NtOffset(module) + 10));
}

TEST_F(ModuleImageCheckTest, AModuleForAnotherMachineOrFormatIsRefusedSayingWhich) {
    const std::size_t file = NtOffset(module) + offsetof(IMAGE_NT_HEADERS64, FileHeader);
    EXPECT_NE(
        Check(Patched<WORD>(file + offsetof(IMAGE_FILE_HEADER, Machine), IMAGE_FILE_MACHINE_I386))
            .find("built for x86 (32-bit), this host is x86-64"),
        std::string::npos);
    EXPECT_NE(Check(Patched<WORD>(file + offsetof(IMAGE_FILE_HEADER, Characteristics),
                                  IMAGE_FILE_EXECUTABLE_IMAGE))
                  .find("an executable, not a DLL"),
              std::string::npos);
    EXPECT_NE(Check(Patched<DWORD>(NtOffset(module), 0x00004C45)).find("no PE signature"),
              std::string::npos);
    EXPECT_NE(Check("#!/bin/sh\necho not a module\n").find("not a PE file"), std::string::npos);
}

} // namespace
} // namespace moduleimagetest
