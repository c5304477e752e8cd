// How much a run's fixed tables hold: each capacity of the engine, named once.
#pragma once

#include <cstddef>

namespace kestrune {

// Every path the engine keeps, shows or derives: at most 199 characters, which is what a
// Convert command can deliver. A longer path is refused, never cut.
constexpr std::size_t kPathBytes = 200;
// A path in the platform's native form, which may be longer: a Windows-form path mapped
// into a Wine prefix gains the prefix's own path.
constexpr std::size_t kNativePathBytes = 1024;
// An error as shown: its message, a line feed and the path it is about.
constexpr std::size_t kErrorBytes = 128 + kPathBytes;
// The system's words for why a call failed, as a platform keeps them for its caller.
constexpr std::size_t kReasonBytes = 128;
// Files one run visits.
constexpr int kVisitedRows = 100;
// Parts the symbol libraries may name, each with a name of at most 19 characters and a
// default (a nested schematic's path) that is a path like any other.
constexpr int kPartRows = 1000;
constexpr std::size_t kPartNameBytes = 20;

}  // namespace kestrune
