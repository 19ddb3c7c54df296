// The heap in use as glibc counts it, or AddressSanitizer's allocator.

#include "validate/checks/HeapInUse.h"

#include "validate/checks/Sanitizer.h"

#ifdef VALIDATE_ASAN
#include <sanitizer/allocator_interface.h>
#else
#include <malloc.h>
#endif

namespace validate {

std::size_t HeapInUse() {
#ifdef VALIDATE_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}

std::size_t HeapGrowthAllowedPerLoad() {
    return kUnderAddressSanitizer ? 512 : 0;
}

} // namespace validate
