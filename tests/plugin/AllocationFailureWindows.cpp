#include "AllocationFailure.h"

#include <windows.h>

#include <psapi.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

// Every module built here (Quellmark.dll, pluginsdk.dll, the test modules)
// links its own copy of the C++ runtime, whose operator new calls the C
// library's malloc through the module's import table. Pointing that import at
// a malloc that fails makes operator new throw std::bad_alloc inside the
// module, as the replaced operator new does on POSIX.
//
// Only the first allocation after arming fails: the runtime's exception
// machinery allocates too (winpthreads creates a lock's state on first use),
// and failing that would throw again from inside the throw. System DLLs and
// this program keep their malloc.

namespace {

std::atomic<bool> s_failNext{false};

void* FailingMalloc(std::size_t size) {
    if (s_failNext.exchange(false)) {
        return nullptr;
    }
    return std::malloc(size);
}

std::filesystem::path FileOf(HMODULE module) {
    wchar_t name[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, name, MAX_PATH);
    return std::filesystem::path(std::wstring(name, length));
}

void Write(void** slot, void* value) {
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
}

// The import-table slots through which `module` calls msvcrt's malloc.
std::vector<void**> MallocSlots(HMODULE module) {
    auto* base = reinterpret_cast<unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<void**> slots;
    if (imports.Size == 0) {
        return slots;
    }
    for (auto* dll =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         dll->Name != 0; ++dll) {
        if (_stricmp(reinterpret_cast<const char*>(base + dll->Name), "msvcrt.dll") != 0) {
            continue;
        }
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), "malloc") == 0) {
                slots.push_back(reinterpret_cast<void**>(&addresses->u1.Function));
            }
        }
    }
    return slots;
}

// The malloc slots of the modules of the build other than this program:
// those beside it or below its folder's parent (bin/ and the test modules).
std::vector<void**> BuiltMallocSlots() {
    const std::filesystem::path build = FileOf(nullptr).parent_path().parent_path();
    HMODULE modules[1024];
    DWORD bytes = 0;
    EnumProcessModules(GetCurrentProcess(), modules, sizeof modules, &bytes);
    std::vector<void**> slots;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 1024; ++i) {
        const auto relative = FileOf(modules[i]).lexically_relative(build);
        if (relative.empty() || *relative.begin() == ".." ||
            modules[i] == GetModuleHandleW(nullptr)) {
            continue;
        }
        for (void** slot : MallocSlots(modules[i])) {
            slots.push_back(slot);
        }
    }
    return slots;
}

} // namespace

AllocationFailure::AllocationFailure() {
    // Every allocation is done before the first slot changes.
    const std::vector<void**> slots = BuiltMallocSlots();
    patched_.reserve(slots.size());
    for (void** slot : slots) {
        patched_.emplace_back(slot, *slot);
    }
    for (void** slot : slots) {
        Write(slot, reinterpret_cast<void*>(&FailingMalloc));
    }
    s_failNext = true;
}

AllocationFailure::~AllocationFailure() {
    s_failNext = false;
    for (const auto& [slot, original] : patched_) {
        Write(slot, original);
    }
}
