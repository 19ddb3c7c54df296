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
    return 0;
}

} // namespace validate
