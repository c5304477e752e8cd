// bench_inputs: writes the benchmark's input files (schematics of a size, libraries, a nested
// tree, a project folder with its blocks).
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
constexpr std::uint64_t kProjectFileBytes = 12000;
// Every tenth file of a project is a hierarchical block, up to this many: the blocks' library
// must fit the part table beside the other libraries.
constexpr int kBlockEvery = 10;
constexpr int kMostBlocks = 200;

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

// A symbol library shaped like the design tools' own: symbols with their attributes, pins and
// graphics, each with an empty "PART=" attribute and no default, so that it adds no row.
void WriteSymbols(const std::string& path, std::uint64_t bytes) {
  std::FILE* out = Create(path);
  std::uint64_t written =
      static_cast<std::uint64_t>(std::fprintf(out, "*version 8.0 215687578\n@index\n"));
  for (int symbol = 0; written < bytes; ++symbol) {
    written += static_cast<std::uint64_t>(
        std::fprintf(out,
                     "*symbol SYM%04d\nd one generated symbol\n@type p\n@attributes\n"
                     "a 0 s 0 0 0 0 hln 100 REFDES=U?\na 0 sp 11 0 0 30 hln 100 PART=\n"
                     "a 0 s 13 0 0 16 hlb 100 GATE=G?\na 0 s 13 0 16 8 hln 100 PKGREF=U?\n@pins\n"
                     "p 0 17 12 hrn 100 pin1 n 30 10 u\na 0 u 0 0 25 8 hln 100 pin=1\n"
                     "@graphics 30 20 0 0 10\nv 0 10 10\n20 10\n;\n",
                     symbol));
  }
  Close(out, path);
}

std::string ProjectFileName(int index) {
  char name[16];
  std::snprintf(name, sizeof name, "F%05d.SCH", index);
  return name;
}

std::string BlockPartName(int block) {
  char name[16];
  std::snprintf(name, sizeof name, "BLK%05d", block);
  return name;
}

// The block that file index leads to through its part: the tenth file at or before it, the
// blocks repeating after the last one.
int BlockOf(int index) { return index % (kBlockEvery * kMostBlocks) / kBlockEvery * kBlockEvery; }

// DIR/F00000.SCH ..: files of 12 kB, every tenth of the first 2,000 a hierarchical block that
// the files after it lead to through a part of DIR/BLOCKS.slb.
void WriteProject(const std::string& dir, int files) {
  const std::string library_path = dir + "/BLOCKS.slb";
  std::FILE* library = Create(library_path);
  std::fputs("*version 7.1 285347600\r\n@index\r\n", library);
  for (int block = 0; block < files && block < kBlockEvery * kMostBlocks; block += kBlockEvery) {
    const std::string part = BlockPartName(block);
    std::fprintf(library, "*symbol %s\r\nd Hierarchical block\r\n@type h\r\n", part.c_str());
    std::fprintf(library, "a 0 sp 0 0 14 48 hln 100 PART=%s\r\n", part.c_str());
    std::fprintf(library, "a 0 s 0 0 0 0 hln 100 DEFAULT=%s\r\n", ProjectFileName(block).c_str());
  }
  Close(library, library_path);
  for (int index = 0; index < files; ++index) {
    const std::string path = dir + "/" + ProjectFileName(index);
    std::FILE* out = Create(path);
    const std::string block = BlockPartName(BlockOf(index));
    const bool is_block = index == BlockOf(index);
    WriteSchematic(out, kProjectFileBytes, BodyMix::kDrawing, &block, is_block ? 0 : 1);
    Close(out, path);
  }
}

int Usage() {
  std::fprintf(stderr,
               "usage: bench_inputs drawing|noparts|allparts FILE BYTES\n"
               "       bench_inputs libraries DIR   (DIR/bench.ini, DIR/lib/*.slb)\n"
               "       bench_inputs tree DIR        (DIR/T000.SCH .. T099.SCH)\n"
               "       bench_inputs symbols FILE BYTES   (a library that adds no part)\n"
               "       bench_inputs project DIR FILES    (DIR/F00000.SCH .., DIR/BLOCKS.slb)\n");
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
  if (argc == 4 && std::strcmp(argv[1], "symbols") == 0) {
    WriteSymbols(argv[2], std::strtoull(argv[3], nullptr, 10));
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "project") == 0) {
    WriteProject(argv[2], std::atoi(argv[3]));
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
