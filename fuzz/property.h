// Stops a fuzz run with a message when a property of the code under test does not hold.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace kestrune::fuzz {

// libFuzzer saves the input that made the process abort, so a broken property is kept
// as a crash input that can be replayed.
inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "PROPERTY FAILED: %s\n", property);
  std::abort();
}

}  // namespace kestrune::fuzz
