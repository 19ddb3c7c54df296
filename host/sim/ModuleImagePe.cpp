// The Windows side of the module file check: a PE image (a DLL) of this
// host's machine, its headers and every section's bytes inside the file. The
// Windows loader refuses a truncated DLL by itself, but not always with a
// message that says why; this says which check failed, as the ELF side does.

#include <windows.h>

#include <cstddef>
#include <cstring>

#include "sim/ModuleImageFormat.h"

namespace sim::image {

namespace {

static_assert(sizeof(void*) == 8, "the module check reads 64-bit PE files");
constexpr WORD kHostMachine = IMAGE_FILE_MACHINE_AMD64;
// A section table larger than this is not a plugin module's.
constexpr WORD kMostSections = 96;

std::string MachineName(WORD machine) {
    switch (machine) {
    case IMAGE_FILE_MACHINE_I386:
        return "x86 (32-bit)";
    case IMAGE_FILE_MACHINE_AMD64:
        return "x86-64";
    case IMAGE_FILE_MACHINE_ARMNT:
        return "arm (32-bit)";
    case 0xAA64: // IMAGE_FILE_MACHINE_ARM64
        return "arm64";
    default:
        return "machine " + std::to_string(machine);
    }
}

} // namespace

std::optional<std::string> CheckFormat(files::InputFile& file) {
    const std::uint64_t size = file.Size();
    const std::string dosBytes = file.ReadAt(0, sizeof(IMAGE_DOS_HEADER));
    if (dosBytes.size() < 2 || dosBytes[0] != 'M' || dosBytes[1] != 'Z') {
        return std::string("not a PE file (no MZ header)");
    }
    if (dosBytes.size() < sizeof(IMAGE_DOS_HEADER)) {
        return Truncated("the DOS header ends", sizeof(IMAGE_DOS_HEADER), size);
    }
    const auto dos = Read<IMAGE_DOS_HEADER>(dosBytes, 0);
    const std::uint64_t ntOffset = static_cast<std::uint32_t>(dos.e_lfanew);
    const std::uint64_t headersEnd = ntOffset + sizeof(IMAGE_NT_HEADERS64);
    const std::string ntBytes = file.ReadAt(ntOffset, sizeof(IMAGE_NT_HEADERS64));
    if (ntBytes.size() >= 4 && std::memcmp(ntBytes.data(), "PE\0\0", 4) != 0) {
        return std::string("not a PE file (no PE signature)");
    }
    if (ntBytes.size() < offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + sizeof(WORD)) {
        return Truncated("the PE header ends", headersEnd, size);
    }
    const auto header = Read<IMAGE_FILE_HEADER>(ntBytes, offsetof(IMAGE_NT_HEADERS64, FileHeader));
    if (header.Machine != kHostMachine) {
        return "built for " + MachineName(header.Machine) + ", this host is " +
               MachineName(kHostMachine);
    }
    const auto magic = Read<WORD>(ntBytes, offsetof(IMAGE_NT_HEADERS64, OptionalHeader));
    if (magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        return std::string("a 32-bit module, this host is 64-bit");
    }
    if ((header.Characteristics & IMAGE_FILE_DLL) == 0) {
        return std::string("an executable, not a DLL");
    }
    if (header.NumberOfSections == 0 || header.NumberOfSections > kMostSections) {
        return "no usable section table (" + std::to_string(header.NumberOfSections) + " sections)";
    }
    const std::uint64_t tableOffset =
        ntOffset + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + header.SizeOfOptionalHeader;
    const Table table = ReadTable(
        file, tableOffset, std::uint64_t(header.NumberOfSections) * sizeof(IMAGE_SECTION_HEADER),
        "the section table ends");
    if (table.problem) {
        return table.problem;
    }
    for (WORD i = 0; i < header.NumberOfSections; ++i) {
        const auto section =
            Read<IMAGE_SECTION_HEADER>(table.bytes, i * sizeof(IMAGE_SECTION_HEADER));
        if (section.SizeOfRawData == 0) {
            continue;
        }
        const std::uint64_t end = std::uint64_t(section.PointerToRawData) + section.SizeOfRawData;
        if (end > size) {
            const std::string name(
                reinterpret_cast<const char*>(section.Name),
                strnlen(reinterpret_cast<const char*>(section.Name), IMAGE_SIZEOF_SHORT_NAME));
            return Truncated("section '" + name + "' ends", end, size);
        }
    }
    return std::nullopt;
}

} // namespace sim::image
