#include "PeFile.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace wintest {

namespace {

class Image {
public:
    explicit Image(const std::filesystem::path& path) : path_(path) {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            throw std::runtime_error("cannot read " + path.string());
        }
        bytes_.assign(std::istreambuf_iterator<char>(file), {});
    }

    template <typename T> T At(std::size_t offset) const {
        if (offset > bytes_.size() || bytes_.size() - offset < sizeof(T)) {
            Fail("a structure runs past the end of the file");
        }
        T value;
        std::memcpy(&value, bytes_.data() + offset, sizeof value);
        return value;
    }

    std::string StringAt(std::size_t offset) const {
        std::string text;
        while (true) {
            const char c = At<char>(offset++);
            if (c == '\0') {
                return text;
            }
            text += c;
        }
    }

    [[noreturn]] void Fail(const std::string& what) const {
        throw std::runtime_error(path_.string() + ": " + what);
    }

private:
    std::filesystem::path path_;
    std::vector<char> bytes_;
};

struct Sections {
    std::vector<IMAGE_SECTION_HEADER> headers;

    const IMAGE_SECTION_HEADER* Holding(std::uint32_t rva) const {
        for (const auto& s : headers) {
            const std::uint32_t size = std::max(s.Misc.VirtualSize, s.SizeOfRawData);
            if (rva >= s.VirtualAddress && rva - s.VirtualAddress < size) {
                return &s;
            }
        }
        return nullptr;
    }

    std::size_t FileOffset(const Image& image, std::uint32_t rva) const {
        const IMAGE_SECTION_HEADER* s = Holding(rva);
        if (s == nullptr || rva - s->VirtualAddress >= s->SizeOfRawData) {
            image.Fail("an address is in no section's file data");
        }
        return s->PointerToRawData + (rva - s->VirtualAddress);
    }
};

} // namespace

PeFile ReadPeFile(const std::filesystem::path& path) {
    const Image image(path);
    const auto dos = image.At<IMAGE_DOS_HEADER>(0);
    if (dos.e_magic != IMAGE_DOS_SIGNATURE) {
        image.Fail("no MZ header");
    }
    const std::size_t ntOffset = static_cast<std::size_t>(dos.e_lfanew);
    const auto nt = image.At<IMAGE_NT_HEADERS64>(ntOffset);
    if (nt.Signature != IMAGE_NT_SIGNATURE ||
        nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
        image.Fail("not a 64-bit PE image");
    }

    PeFile pe;
    pe.machine = nt.FileHeader.Machine;
    Sections sections;
    const std::size_t firstSection = ntOffset + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                                     nt.FileHeader.SizeOfOptionalHeader;
    for (unsigned i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
        sections.headers.push_back(
            image.At<IMAGE_SECTION_HEADER>(firstSection + i * sizeof(IMAGE_SECTION_HEADER)));
    }
    const auto& directories = nt.OptionalHeader.DataDirectory;

    if (const auto& dir = directories[IMAGE_DIRECTORY_ENTRY_EXPORT]; dir.Size != 0) {
        const auto table =
            image.At<IMAGE_EXPORT_DIRECTORY>(sections.FileOffset(image, dir.VirtualAddress));
        const std::size_t names = sections.FileOffset(image, table.AddressOfNames);
        const std::size_t ordinals = sections.FileOffset(image, table.AddressOfNameOrdinals);
        const std::size_t functions = sections.FileOffset(image, table.AddressOfFunctions);
        for (DWORD i = 0; i < table.NumberOfNames; ++i) {
            PeExport entry;
            entry.name = image.StringAt(
                sections.FileOffset(image, image.At<DWORD>(names + i * sizeof(DWORD))));
            const WORD ordinal = image.At<WORD>(ordinals + i * sizeof(WORD));
            if (ordinal >= table.NumberOfFunctions) {
                image.Fail("export '" + entry.name + "' has no address");
            }
            entry.rva = image.At<DWORD>(functions + ordinal * sizeof(DWORD));
            const IMAGE_SECTION_HEADER* section = sections.Holding(entry.rva);
            if (section == nullptr) {
                image.Fail("export '" + entry.name + "' points outside every section");
            }
            entry.code = (section->Characteristics & IMAGE_SCN_MEM_EXECUTE) != 0;
            pe.exports.push_back(entry);
        }
    }

    if (const auto& dir = directories[IMAGE_DIRECTORY_ENTRY_IMPORT]; dir.Size != 0) {
        std::size_t at = sections.FileOffset(image, dir.VirtualAddress);
        for (;; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            const auto entry = image.At<IMAGE_IMPORT_DESCRIPTOR>(at);
            if (entry.Name == 0) {
                break;
            }
            pe.importedDlls.push_back(image.StringAt(sections.FileOffset(image, entry.Name)));
        }
    }
    return pe;
}

} // namespace wintest
