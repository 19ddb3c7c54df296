#pragma once

#include <cstddef>

namespace validate {

// Bytes of heap this process holds right now: what its allocations asked for
// and have not given back. Under AddressSanitizer its allocator's own count
// (memory waiting in its quarantine is not in use), otherwise glibc's.
std::size_t HeapInUse();

} // namespace validate
