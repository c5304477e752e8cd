// Synthetic schematics: a header and setup block as the design tools write them, then a body
// that repeats the shape of the corpus drawings (part blocks, wires, junctions).
#include "bench/synthetic_schematic.h"

#include <cstring>

namespace kestrune::bench {
namespace {

const char* const kHeader[] = {
    "*version 7.1 954663936",
    "u 138",
    "R? 8",
    "V? 8",
    "@libraries",
    "@analysis",
    ".TRAN 1 0 0 0",
    "+0 0.1MS",
    "+1 40MS",
    "@targets",
    "@attributes",
    "@translators",
    "a 0 u 13 0 0 0 hln 100 PCAD=PCB",
    "a 0 u 13 0 0 0 hln 100 PSPICE=PSPICE",
    "@setup",
    "unconnectedPins 0",
    "connectViaLabel 0",
    "connectViaLocalLabels 0",
    "NoStim4ExtIFPortsWarnings 1",
    "AutoGenStim4ExtIFPorts 1",
    "@index",
    "pageloc 1 0 4200 ",
    "@status",
    "n 0 99:04:31:09:46:21;928124181 e ",
    "*page 1 0 970 720 iA",
    "@parts",
};

// One cycle of body lines; entry 1 is the part's "PART=" line. 20 lines of about 20 bytes.
const char* const kCycle[] = {
    "part 44 R 320 100 d",
    "a 0 sp 0 0 0 10 hlb 100 PART=R",
    "a 0 s 0 0 0 0 hln 100 PKGTYPE=RC05",
    "a 0 s 0 0 0 0 hln 100 GATE=",
    "a 0 ap 9 0 15 0 hln 100 REFDES=R1",
    "a 0 u 13 0 25 0 hln 100 VALUE=1k",
    "a 0 a 0 0 0 0 hln 100 PKGREF=R1",
    "j 240 60",
    "+ p 215 1",
    "+ w 247",
    "w 15",
    "s 320 100 320 140 14",
    "s 280 60 320 60 22",
    "j 410 210",
    "+ w 30",
    "+ w 30",
    "s 0 1020 380 1020 42",
    "a 0 up 0:33 0 0 0 hln 100 V=",
    "j 340 160",
    "+ p 11 2",
};
constexpr int kCycleLines = sizeof kCycle / sizeof kCycle[0];
constexpr int kPartLineInCycle = 1;

std::uint64_t PutLine(std::FILE* out, const char* text) {
  std::fputs(text, out);
  std::fputs("\r\n", out);
  return std::strlen(text) + 2;
}

// Body line number n of the chosen mix.
std::uint64_t PutBodyLine(std::FILE* out, BodyMix mix, std::uint64_t n) {
  char line[64];
  switch (mix) {
    case BodyMix::kDrawing: return PutLine(out, kCycle[n % kCycleLines]);
    case BodyMix::kNoParts:
      if (n % kCycleLines != kPartLineInCycle) return PutLine(out, kCycle[n % kCycleLines]);
      return PutLine(out, "a 0 sp 0 0 0 10 hlb 100 TYPE=R");
    case BodyMix::kAllParts:
      // Shaped like the table's names (PN0000..PN0999) but never one of them.
      std::snprintf(line, sizeof line, "a 0 sp 0 0 0 10 hlb 100 PART=PN%04uX",
                    static_cast<unsigned>(n % 1000));
      return PutLine(out, line);
  }
  return 0;
}

}  // namespace

std::uint64_t WriteSchematic(std::FILE* out, std::uint64_t bytes, BodyMix mix,
                             const std::string* children, int child_count) {
  std::uint64_t written = 0;
  for (const char* line : kHeader) written += PutLine(out, line);
  for (int i = 0; i < child_count; ++i) {
    written += PutLine(out, ("a 0 sp 0 0 0 10 hlb 100 PART=" + children[i]).c_str());
  }
  for (std::uint64_t n = 0; written < bytes; ++n) written += PutBodyLine(out, mix, n);
  return written;
}

}  // namespace kestrune::bench
