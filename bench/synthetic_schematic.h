// Writes synthetic PSpice 7.1 schematics whose line mix follows real drawings.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace kestrune::bench {

// What the body of a schematic is made of.
enum class BodyMix {
  kDrawing,   // part blocks and wiring: a "PART=" line every 20 lines, as in real drawings
  kNoParts,   // the same lines with every "PART=" line replaced by an attribute of equal length
  kAllParts,  // every line a "PART=" line naming a part that no library holds
};

// Writes a CRLF schematic: version line, header, setup block, index, then body lines of
// the given mix until at least `bytes` bytes are written. Each entry of `children` adds one
// "PART=" line naming that part right after the setup block. Returns the bytes written.
std::uint64_t WriteSchematic(std::FILE* out, std::uint64_t bytes, BodyMix mix,
                             const std::string* children = nullptr, int child_count = 0);

}  // namespace kestrune::bench
