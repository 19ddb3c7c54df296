#include "validate/checks/HeapInUse.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VALIDATE_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VALIDATE_ASAN 1
#endif

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
#ifdef VALIDATE_ASAN
    return 512;
#else
    return 0;
#endif
}

} // namespace validate
