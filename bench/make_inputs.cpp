// bench_inputs: writes the benchmark's input files (schematics of a size, libraries, a nested
// tree).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench/synthetic_schematic.h"

namespace kestrune::bench {
namespace {

constexpr int kLibraries = 50;
constexpr int kPartsPerLibrary = 20;
constexpr int kTreeFiles = 100;
constexpr int kTreeBranching = 3;
constexpr std::uint64_t kTreeFileBytes = 10000;

// Row r of the part table: PN0000..PN0999. Rows 1..99 lead to the nested tree's files,
// the others to files that do not exist (no benchmark input names those parts).
std::string PartName(int row) {
  char name[16];
  std::snprintf(name, sizeof name, "PN%04d", row);
  return name;
}

std::string TreeFileName(int index) {
  char name[16];
  std::snprintf(name, sizeof name, "T%03d.SCH", index);
  return name;
}

std::string PartDefault(int row) {
  if (row >= 1 && row < kTreeFiles) return TreeFileName(row);
  char name[24];
  std::snprintf(name, sizeof name, "MISSING%04d.SCH", row);
  return name;
}

std::FILE* Create(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    std::perror(path.c_str());
    std::exit(1);
  }
  return file;
}

void Close(std::FILE* file, const std::string& path) {
  if (std::fclose(file) != 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
}

// A symbol library as the design tools write it: each symbol's "PART=" and "DEFAULT=" lines
// among the lines the loader passes over.
void WriteLibrary(const std::string& path, int first_row) {
  std::FILE* out = Create(path);
  std::fputs("*version 7.1 285347600\r\n@index\r\n", out);
  for (int row = first_row; row < first_row + kPartsPerLibrary; ++row) {
    const std::string name = PartName(row);
    std::fprintf(out, "*symbol %s\r\nd Subcircuit %s\r\n@type h\r\n", name.c_str(), name.c_str());
    std::fprintf(out, "a 0 sp 0 0 14 48 hln 100 PART=%s\r\n", name.c_str());
    std::fprintf(out, "a 0 s 0 0 0 0 hln 100 DEFAULT=%s\r\n", PartDefault(row).c_str());
    std::fputs("a 0 s 0 0 0 0 hln 100 PKGTYPE=\r\np 4 0 0 0 0 0\r\n", out);
  }
  Close(out, path);
}

// DIR/bench.ini listing DIR/lib/LIB01.slb .. LIB50.slb: 1000 parts.
void WriteLibraries(const std::string& dir) {
  std::filesystem::create_directories(dir + "/lib");
  const std::string ini_path = dir + "/bench.ini";
  std::FILE* ini = Create(ini_path);
  std::fputs("[MICROSIM]\r\nLIBPATH=lib\r\n[PART LIBS]\r\n", ini);
  for (int lib = 1; lib <= kLibraries; ++lib) {
    char name[16];
    std::snprintf(name, sizeof name, "LIB%02d", lib);
    std::fprintf(ini, "LIB%d=%s\r\n", lib, name);
    WriteLibrary(dir + "/lib/" + name + ".slb", (lib - 1) * kPartsPerLibrary);
  }
  Close(ini, ini_path);
}

// DIR/T000.SCH .. T099.SCH: file k holds parts leading to files 3k+1 .. 3k+3.
void WriteTree(const std::string& dir) {
  for (int k = 0; k < kTreeFiles; ++k) {
    std::string children[kTreeBranching];
    int count = 0;
    for (int child = kTreeBranching * k + 1;
         child < kTreeFiles && child <= kTreeBranching * (k + 1); ++child) {
      children[count++] = PartName(child);
    }
    const std::string path = dir + "/" + TreeFileName(k);
    std::FILE* out = Create(path);
    WriteSchematic(out, kTreeFileBytes, BodyMix::kDrawing, children, count);
    Close(out, path);
  }
}

int Usage() {
  std::fprintf(stderr,
               "usage: bench_inputs drawing|noparts|allparts FILE BYTES\n"
               "       bench_inputs libraries DIR   (DIR/bench.ini, DIR/lib/*.slb)\n"
               "       bench_inputs tree DIR        (DIR/T000.SCH .. T099.SCH)\n");
  return 2;
}

int Main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "libraries") == 0) {
    WriteLibraries(argv[2]);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "tree") == 0) {
    WriteTree(argv[2]);
    return 0;
  }
  if (argc != 4) return Usage();
  BodyMix mix;
  if (std::strcmp(argv[1], "drawing") == 0) {
    mix = BodyMix::kDrawing;
  } else if (std::strcmp(argv[1], "noparts") == 0) {
    mix = BodyMix::kNoParts;
  } else if (std::strcmp(argv[1], "allparts") == 0) {
    mix = BodyMix::kAllParts;
  } else {
    return Usage();
  }
  std::FILE* out = Create(argv[2]);
  static char buffer[1 << 20];
  std::setvbuf(out, buffer, _IOFBF, sizeof buffer);
  WriteSchematic(out, std::strtoull(argv[3], nullptr, 10), mix);
  Close(out, argv[2]);
  return 0;
}

}  // namespace
}  // namespace kestrune::bench

int main(int argc, char** argv) { return kestrune::bench::Main(argc, argv); }
