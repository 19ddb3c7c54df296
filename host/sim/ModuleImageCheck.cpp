#include "ModuleImageCheck.h"

#include <elf.h>

#include <bit>
#include <cstring>
#include <string_view>

#include "files/FileError.h"
#include "files/InputFile.h"

namespace sim {

namespace {

// The machine this code was built for, as ELF headers name it.
#if defined(__x86_64__)
constexpr Elf64_Half kHostMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr Elf64_Half kHostMachine = EM_AARCH64;
#elif defined(__riscv) && __riscv_xlen == 64
constexpr Elf64_Half kHostMachine = EM_RISCV;
#elif defined(__powerpc64__)
constexpr Elf64_Half kHostMachine = EM_PPC64;
#elif defined(__s390x__)
constexpr Elf64_Half kHostMachine = EM_S390;
#else
#error "unknown machine: add its ELF e_machine value here"
#endif

// Modules are 64-bit objects of the host's own byte order.
static_assert(sizeof(void*) == 8, "the module check reads 64-bit ELF files");
constexpr unsigned char kHostData =
    std::endian::native == std::endian::little ? ELFDATA2LSB : ELFDATA2MSB;

// A program header table larger than this is not a plugin module's.
constexpr std::size_t kMostProgramHeaders = 256;

std::string MachineName(Elf64_Half machine) {
    switch (machine) {
    case EM_386:
        return "x86 (32-bit)";
    case EM_X86_64:
        return "x86-64";
    case EM_ARM:
        return "arm (32-bit)";
    case EM_AARCH64:
        return "aarch64";
    case EM_RISCV:
        return "riscv";
    case EM_PPC64:
        return "ppc64";
    case EM_S390:
        return "s390x";
    default:
        return "machine " + std::to_string(machine);
    }
}

std::string TypeName(Elf64_Half type) {
    switch (type) {
    case ET_REL:
        return "a relocatable object (.o), not a shared object";
    case ET_EXEC:
        return "an executable, not a shared object";
    case ET_CORE:
        return "a core dump, not a shared object";
    default:
        return "of ELF type " + std::to_string(type) + ", not a shared object";
    }
}

std::string SegmentName(Elf64_Word type) {
    switch (type) {
    case PT_LOAD:
        return "a loadable segment";
    case PT_DYNAMIC:
        return "the dynamic segment";
    case PT_INTERP:
        return "the interpreter segment";
    default:
        return "a segment (type " + std::to_string(type) + ")";
    }
}

template <typename T> T Read(std::string_view bytes, std::size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

std::optional<std::string> CheckImage(files::InputFile& file) {
    const std::uint64_t size = file.Size();
    const std::string header = file.ReadAt(0, sizeof(Elf64_Ehdr));
    if (header.size() < EI_NIDENT || std::memcmp(header.data(), ELFMAG, SELFMAG) != 0) {
        return std::string("not an ELF file");
    }
    if (header[EI_CLASS] != ELFCLASS64) {
        return std::string(header[EI_CLASS] == ELFCLASS32 ? "a 32-bit module"
                                                          : "an ELF file of unknown class") +
               ", this host is 64-bit";
    }
    if (static_cast<unsigned char>(header[EI_DATA]) != kHostData) {
        return std::string("built for the other byte order (") +
               (header[EI_DATA] == ELFDATA2MSB ? "big" : "unknown") + "-endian), this host is " +
               (kHostData == ELFDATA2LSB ? "little" : "big") + "-endian";
    }
    if (header.size() < sizeof(Elf64_Ehdr)) {
        return "truncated: the ELF header needs " + std::to_string(sizeof(Elf64_Ehdr)) +
               " bytes but the file has " + std::to_string(size);
    }
    const auto elf = Read<Elf64_Ehdr>(header, 0);
    if (elf.e_machine != kHostMachine) {
        return "built for " + MachineName(elf.e_machine) + ", this host is " +
               MachineName(kHostMachine);
    }
    if (elf.e_type != ET_DYN) {
        return TypeName(elf.e_type);
    }
    if (elf.e_phnum == 0 || elf.e_phentsize != sizeof(Elf64_Phdr) ||
        elf.e_phnum > kMostProgramHeaders) {
        return "no usable program headers (" + std::to_string(elf.e_phnum) + " of " +
               std::to_string(elf.e_phentsize) + " bytes)";
    }
    const std::uint64_t tableSize = std::uint64_t(elf.e_phnum) * sizeof(Elf64_Phdr);
    if (elf.e_phoff > size || tableSize > size - elf.e_phoff) {
        return "truncated: the program headers end at byte " +
               std::to_string(elf.e_phoff + tableSize) + " but the file has " +
               std::to_string(size);
    }
    const std::string table = file.ReadAt(elf.e_phoff, tableSize);
    if (table.size() != tableSize) {
        return std::string("truncated while it was read");
    }
    for (std::size_t i = 0; i < elf.e_phnum; ++i) {
        const auto segment = Read<Elf64_Phdr>(table, i * sizeof(Elf64_Phdr));
        if (segment.p_type == PT_NULL || segment.p_filesz == 0) {
            continue;
        }
        if (segment.p_offset > size || segment.p_filesz > size - segment.p_offset) {
            const bool wraps = segment.p_filesz > UINT64_MAX - segment.p_offset;
            return "truncated: " + SegmentName(segment.p_type) + " ends at byte " +
                   (wraps ? std::string("beyond 2^64")
                          : std::to_string(segment.p_offset + segment.p_filesz)) +
                   " but the file has " + std::to_string(size);
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> CheckModuleImage(const std::string& path) {
    try {
        // Only the headers are read; the limit is for the file's whole size,
        // which a module never comes near.
        files::InputFile file(path, {"module", std::uint64_t(1) << 32, false});
        if (auto problem = CheckImage(file)) {
            return "cannot load module '" + path + "': " + *problem;
        }
        return std::nullopt;
    } catch (const files::Error& error) {
        return std::string(error.what());
    }
}

} // namespace sim
