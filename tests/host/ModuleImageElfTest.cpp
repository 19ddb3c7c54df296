// The ELF side of the module file check: copies of the real module, cut
// short or patched, are refused with the check that failed; a copy cut past
// its last loadable byte passes.
#include <elf.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "ModuleImageFixture.h"

namespace moduleimagetest {
namespace {

// Where the module's last loadable byte ends, read independently of the check.
std::size_t LoadableEnd(const std::string& image) {
    Elf64_Ehdr header;
    std::memcpy(&header, image.data(), sizeof header);
    std::size_t end = 0;
    for (int i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr segment;
        std::memcpy(&segment, image.data() + header.e_phoff + i * sizeof segment, sizeof segment);
        if (segment.p_type == PT_LOAD) {
            end = std::max<std::size_t>(end, segment.p_offset + segment.p_filesz);
        }
    }
    return end;
}

TEST_F(ModuleImageCheckTest, EveryCutIntoALoadableSegmentIsRefused) {
    const std::size_t end = LoadableEnd(module);
    ASSERT_GT(end, 20000u);
    std::vector<std::size_t> cuts = {64 + 56, 4096, 20000, end - 4096, end - 1};
    for (std::size_t cut = 8192; cut < end; cut += 8192) {
        cuts.push_back(cut);
    }
    ExpectCutsRefused(cuts, "module.so': truncated: ");
    // Past the last loadable byte only what the loader never maps is missing.
    EXPECT_EQ(Check(module.substr(0, end)), "");
}

TEST_F(ModuleImageCheckTest, CutsIntoTheHeadersSayWhatIsMissing) {
    EXPECT_NE(Check("").find("not an ELF file"), std::string::npos);
    EXPECT_NE(Check(module.substr(0, 3)).find("not an ELF file"), std::string::npos);
    EXPECT_NE(Check(module.substr(0, 40))
                  .find("truncated: the ELF header needs 64 bytes but "
                        "the file has 40"),
              std::string::npos)
        << Check(module.substr(0, 40));
    EXPECT_NE(Check(module.substr(0, 100)).find("truncated: the program headers end at byte"),
              std::string::npos)
        << Check(module.substr(0, 100));
}

TEST_F(ModuleImageCheckTest, AModuleForAnotherMachineOrFormatIsRefusedSayingWhich) {
#if defined(__x86_64__)
    EXPECT_NE(Check(Patched<Elf64_Half>(offsetof(Elf64_Ehdr, e_machine), EM_AARCH64))
                  .find("built for aarch64, this host is x86-64"),
              std::string::npos);
#endif
    EXPECT_NE(Check(Patched<unsigned char>(EI_CLASS, ELFCLASS32)).find("32-bit"),
              std::string::npos);
    EXPECT_NE(Check(Patched<unsigned char>(EI_DATA, ELFDATA2MSB)).find("big-endian"),
              std::string::npos);
    EXPECT_NE(
        Check(Patched<Elf64_Half>(offsetof(Elf64_Ehdr, e_type), ET_EXEC)).find("an executable"),
        std::string::npos);
    EXPECT_NE(Check("#!/bin/sh\necho not a module\n").find("not an ELF file"), std::string::npos);
    // Program headers said to lie beyond the end of the file.
    EXPECT_NE(Check(Patched<Elf64_Off>(offsetof(Elf64_Ehdr, e_phoff), module.size()))
                  .find("truncated: the program headers end"),
              std::string::npos);
}

TEST_F(ModuleImageCheckTest, AFifoIsRefusedWithoutWaiting) {
    const auto fifo = dir / "fifo.so";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_NE(sim::CheckModuleImage(fifo.string()).value_or("").find("FIFO"), std::string::npos);
}

} // namespace
} // namespace moduleimagetest
