// The byte that a run locks in each file it holds, alike on every platform.
#pragma once

#include <cstdint>

namespace kestrune {

// Far beyond any end of file: a byte-range lock on Windows also refuses reads of its bytes,
// and this one must keep out other runs only, never a program that reads the file. Wine
// maps Windows byte-range locks onto POSIX record locks of the same range, so the Linux and
// the Windows program meet at this byte.
constexpr std::uint64_t kRunLockOffset = std::uint64_t{1} << 62;

}  // namespace kestrune
