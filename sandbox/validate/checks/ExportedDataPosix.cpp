#include "validate/checks/ExportedData.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>

namespace validate {

std::string ExportedDataFault(const std::string&, const char* name, const void* address,
                              std::size_t size) {
    const std::string quoted = std::string("'") + name + "'";
    Dl_info info{};
    void* entry = nullptr;
    if (dladdr1(address, &info, &entry, RTLD_DL_SYMENT) == 0 || entry == nullptr) {
        return "the dynamic linker has no symbol entry for " + quoted;
    }
    const auto* symbol = static_cast<const ElfW(Sym)*>(entry);
    if (ELF64_ST_TYPE(symbol->st_info) != STT_OBJECT) {
        return quoted + " is not a data object";
    }
    // AddressSanitizer pads instrumented globals with a red zone, so more is
    // fine; less is not.
    if (symbol->st_size < size) {
        return quoted + " is " + std::to_string(symbol->st_size) + " bytes; the loader reads " +
               std::to_string(size);
    }
    return {};
}

} // namespace validate
