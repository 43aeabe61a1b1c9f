#pragma once
// Whether this is the address-sanitizer build, which shadows what it allocates and keeps freed
// memory in quarantine: bounds on time and memory allow for it.

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSERA_TEST_ASAN 1
#endif
#endif

#if defined(TESSERA_TEST_ASAN)
#include <sanitizer/allocator_interface.h>
inline constexpr bool kAddressSanitizerBuild = true;
#else
inline constexpr bool kAddressSanitizerBuild = false;
#endif

// Gives back what this process freed (the sanitizer keeps it in quarantine): a child's peak
// memory starts at its parent's resident memory.
inline void releaseFreedMemory() {
#if defined(TESSERA_TEST_ASAN)
  __sanitizer_purge_allocator();
#endif
}
