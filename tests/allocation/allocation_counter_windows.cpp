// Test helper for Windows: the linker sends the program's calls of malloc and its kin here
// (--wrap), operator new of the static C++ runtime included; the C runtime DLL's own stay unseen.
#include <cstddef>

#include "tests/allocation/allocation_counter.h"

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* block, std::size_t size);
}

using kestrune::test::CountAllocation;

extern "C" {
void* __wrap_malloc(std::size_t size) {
  CountAllocation();
  return __real_malloc(size);
}
void* __wrap_calloc(std::size_t count, std::size_t size) {
  CountAllocation();
  return __real_calloc(count, size);
}
void* __wrap_realloc(void* block, std::size_t size) {
  CountAllocation();
  return __real_realloc(block, size);
}
}
