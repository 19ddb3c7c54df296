#pragma once

#include <cstddef>

namespace validate {

// Bytes of heap this process holds right now: what its allocations asked for
// and have not given back. On Linux glibc's count, under AddressSanitizer its
// allocator's own (memory waiting in its quarantine is not in use); on
// Windows the busy blocks of every heap of the process.
std::size_t HeapInUse();

// Heap growth a load and unload of a module may show without anything being
// lost. Under AddressSanitizer every static destructor a module registers with
// __cxa_atexit makes the runtime's interceptor register one more handler of its
// own, for the main program, that stays until exit: glibc keeps it in its
// exit-handler list, 32 bytes each, in blocks of 1040. 512 bytes a load allows
// sixteen such destructors (Quellmark registers six). On Windows a MinGW
// module's own threads library keeps 784 bytes a load (see
// HeapInUseWindows.cpp); 1 KiB a load is allowed there. Otherwise nothing
// grows per load.
std::size_t HeapGrowthAllowedPerLoad();

} // namespace validate
