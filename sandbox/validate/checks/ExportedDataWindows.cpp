#include "validate/checks/ExportedData.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "files/PathText.h"

namespace validate {

std::string ExportedDataFault(const std::string& modulePath, const char* name, const void* address,
                              std::size_t size) {
    const std::string quoted = std::string("'") + name + "'";
    HMODULE module = nullptr;
    const std::wstring path = files::PathFromText(modulePath).make_preferred().wstring();
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, path.c_str(), &module)) {
        return "the module is not loaded where " + quoted + " was found";
    }
    // The image as the loader mapped it: its headers, then its sections.
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    const auto start = reinterpret_cast<std::uintptr_t>(base);
    if (at < start || at - start >= nt->OptionalHeader.SizeOfImage) {
        return quoted + " lies outside the module's image";
    }
    const std::uintptr_t rva = at - start;
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (unsigned i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        const std::uintptr_t begin = section->VirtualAddress;
        const std::uintptr_t length = section->Misc.VirtualSize;
        if (rva < begin || rva >= begin + length) {
            continue;
        }
        if ((section->Characteristics & IMAGE_SCN_MEM_EXECUTE) != 0) {
            return quoted + " is not a data object: it lies in the code section";
        }
        if (begin + length - rva < size) {
            return quoted + " has " + std::to_string(begin + length - rva) +
                   " bytes of its section after it; the loader reads " + std::to_string(size);
        }
        return {};
    }
    return quoted + " lies in no section of the module";
}

} // namespace validate
