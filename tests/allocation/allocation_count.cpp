// Test helper: the count that every platform's allocation interceptor adds to.
#include "tests/allocation/allocation_counter.h"

namespace kestrune::test {
namespace {
bool counting = false;
long allocations = 0;
}  // namespace

void CountAllocation() {
  if (counting) ++allocations;
}

void StartCountingAllocations() {
  allocations = 0;
  counting = true;
}

long StopCountingAllocations() {
  counting = false;
  return allocations;
}

}  // namespace kestrune::test
