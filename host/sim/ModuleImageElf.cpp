// The POSIX side of the module file check: an ELF shared object of this
// build's class, byte order and machine, its program headers and every
// segment's bytes inside the file.

#include <elf.h>

#include <bit>
#include <cstring>

#include "sim/ModuleImageFormat.h"

namespace sim::image {

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

} // namespace

std::optional<std::string> CheckFormat(files::InputFile& file) {
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
    const Table table =
        ReadTable(file, elf.e_phoff, std::uint64_t(elf.e_phnum) * sizeof(Elf64_Phdr),
                  "the program headers end");
    if (table.problem) {
        return table.problem;
    }
    for (std::size_t i = 0; i < elf.e_phnum; ++i) {
        const auto segment = Read<Elf64_Phdr>(table.bytes, i * sizeof(Elf64_Phdr));
        if (segment.p_type == PT_NULL || segment.p_filesz == 0) {
            continue;
        }
        if (segment.p_offset > size || segment.p_filesz > size - segment.p_offset) {
            const bool wraps = segment.p_filesz > UINT64_MAX - segment.p_offset;
            return Truncated(SegmentName(segment.p_type) + " ends",
                             wraps ? std::string("beyond 2^64")
                                   : std::to_string(segment.p_offset + segment.p_filesz),
                             size);
        }
    }
    return std::nullopt;
}

} // namespace sim::image
