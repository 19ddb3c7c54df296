// The heap in use on Windows: every busy block of every heap of the process,
// walked with HeapWalk. The C runtime's malloc, and so operator new in the
// program and in every module, allocates from one of them; a module that
// calls HeapAlloc itself is counted too. (GetProcessMemoryInfo counts whole
// pages, including those of modules mapped and unmapped, and _heapwalk sees
// the C runtime's heap alone.)

#include "validate/checks/HeapInUse.h"

#include <windows.h>

#include <vector>

namespace validate {

std::size_t HeapInUse() {
    std::vector<HANDLE> heaps(16);
    for (;;) {
        const DWORD count = GetProcessHeaps(DWORD(heaps.size()), heaps.data());
        if (count <= heaps.size()) {
            heaps.resize(count);
            break;
        }
        heaps.resize(count);
    }
    std::size_t total = 0;
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap)) {
            continue;
        }
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heap, &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) {
                total += entry.cbData;
            }
        }
        HeapUnlock(heap);
    }
    return total;
}

std::size_t HeapGrowthAllowedPerLoad() {
    // A module built by MinGW-w64 links its own copy of the threads library
    // (winpthreads), which records the calling thread (760 bytes) the first
    // time the module asks who it is - as its thread-safe statics do - and
    // frees that record only when the thread ends, not when the module
    // unloads: 784 bytes a load, with the statics' lock. 1 KiB a load allows
    // that and still sees a leak of a kilobyte, or of 64, at once.
    return 1024;
}

} // namespace validate
