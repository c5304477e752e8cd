// Test helper: counts every heap allocation of the process while counting is switched on.
#pragma once

namespace kestrune::test {

void StartCountingAllocations();
// Stops counting and returns how many allocations happened since the start.
long StopCountingAllocations();
// Called by the interceptors of malloc and its kin for each allocation.
void CountAllocation();

}  // namespace kestrune::test
