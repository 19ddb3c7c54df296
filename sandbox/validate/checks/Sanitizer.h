#pragma once

// Whether this program runs under AddressSanitizer, whose allocator keeps its
// own figures and whose shadow memory takes terabytes of address space.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VALIDATE_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VALIDATE_ASAN 1
#endif

namespace validate {

#ifdef VALIDATE_ASAN
inline constexpr bool kUnderAddressSanitizer = true;
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif

} // namespace validate
