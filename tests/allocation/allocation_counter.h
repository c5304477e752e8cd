// Test helper: counts every heap allocation of the process while counting is switched on.
#pragma once

namespace kestrune::test {

void StartCountingAllocations();
// Stops counting and returns how many allocations happened since the start.
long StopCountingAllocations();

}  // namespace kestrune::test
