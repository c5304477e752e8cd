// Test helper: replaces malloc and its kin, so that C library internals are counted as well
// as operator new (which calls malloc). Under AddressSanitizer, which owns malloc, its
// allocation hook counts instead.
#include "tests/allocation/allocation_counter.h"

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define KESTRUNE_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTRUNE_ADDRESS_SANITIZER 1
#endif
#endif

using kestrune::test::CountAllocation;

#ifdef KESTRUNE_ADDRESS_SANITIZER
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*on_malloc)(const volatile void*,
                                                                           std::size_t),
                                                         void (*on_free)(const volatile void*));

namespace {
void CountSanitizedAllocation(const volatile void*, std::size_t) { CountAllocation(); }
void IgnoreFree(const volatile void*) {}
// Installed before main runs, so every allocation of the process passes the hook.
const int hook_installed =
    __sanitizer_install_malloc_and_free_hooks(CountSanitizedAllocation, IgnoreFree);
}  // namespace
#else
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
}

extern "C" {
void* malloc(std::size_t size) {
  CountAllocation();
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
  CountAllocation();
  return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size) {
  CountAllocation();
  return __libc_realloc(block, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
  CountAllocation();
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
  CountAllocation();
  *out = __libc_memalign(alignment, size);
  return *out != nullptr ? 0 : 12;  // ENOMEM
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
  CountAllocation();
  return __libc_memalign(alignment, size);
}
}
#endif
