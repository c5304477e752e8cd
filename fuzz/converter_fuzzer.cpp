// Fuzzes text reading and the converter's line loop against a plain model of the line rules.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/conversion_engine.h"
#include "fuzz/fresh_engine.h"
#include "fuzz/property.h"
#include "fuzz/text_model.h"
#include "tests/support/counting_sink.h"
#include "engine/platform/memory_platform.h"

namespace kestrune::fuzz {
namespace {

constexpr char kInput[] = "IN.SCH";
constexpr char kBackup[] = "IN.P71";
constexpr char kNested[] = "SUB.SCH";
constexpr char kNestedBackup[] = "SUB.P71";
constexpr char kNestedText[] = "*version 7.1\nsub\n";
constexpr char kNestedConverted[] = "*version 6.1\nsub\n";

using test::CountingSink;

// What converting the bytes must give: the file's new contents, or none when it is
// already at version 6.1, and whether the part line leads to the nested file.
struct Expected {
  bool left_alone = false;
  bool nested = false;
  std::string output;
};

bool Contains(const std::string& piece, const char* text) { return piece.find(text) != std::string::npos; }

// The part value of a piece: after its first "PART=" to the end, less a last line feed,
// as far as a NUL byte; only values that fit a path are looked up.
bool NamesTheNestedPart(const std::string& piece) {
  const std::size_t key = piece.find("PART=");
  if (key == std::string::npos) return false;
  std::string value = piece.substr(key + 5);
  if (!value.empty() && value.back() == '\n') value.pop_back();
  if (value.size() >= 200) return false;
  return UpperAscii(value.substr(0, value.find('\0'))) == "SUB";
}

Expected Model(const std::string& bytes) {
  Expected expected;
  bool copying = true;
  for (std::string piece : TextPieces(bytes)) {
    if (Contains(piece, "*version 6.1")) {
      expected.left_alone = true;
      return expected;
    }
    const std::size_t marker = piece.find("*version 7.1");
    if (marker != std::string::npos) piece.replace(marker, 12, "*version 6.1");
    if (Contains(piece, "@setup")) copying = false;
    if (Contains(piece, "@index")) copying = true;
    if (NamesTheNestedPart(piece)) expected.nested = true;
    if (copying) expected.output += piece;
  }
  return expected;
}

void StartRun(ConversionEngine& engine, bool backups) {
  engine.StartRun(backups, true);
  engine.parts().SetPartName(0, "SUB");
  engine.parts().SetPartDefault(0, kNested);
}

void CheckNested(const MemoryPlatform& files, const Expected& expected, bool backups) {
  Require(files.Contents(kNested) == (expected.nested ? kNestedConverted : kNestedText),
          "the nested file is converted exactly when a part line leads to it");
  Require(files.HasFile(kNestedBackup) == (expected.nested && backups),
          "the nested file has a backup exactly when it was converted with backups on");
  if (files.HasFile(kNestedBackup)) {
    Require(files.Contents(kNestedBackup) == kNestedText, "the nested backup holds its old contents");
  }
}

void CheckInput(const MemoryPlatform& files, const Expected& expected, const std::string& bytes,
                bool backups) {
  if (expected.left_alone) {
    Require(files.Contents(kInput) == bytes, "a file at version 6.1 keeps every byte");
    Require(!files.HasFile(kBackup), "a file left alone gets no backup");
    return;
  }
  Require(files.Contents(kInput) == expected.output, "the output equals the model's");
  Require(files.HasFile(kBackup) == backups, "a backup exists exactly when backups are on");
  if (backups) Require(files.Contents(kBackup) == bytes, "the backup holds the old contents");
}

}  // namespace
}  // namespace kestrune::fuzz

// The file is the whole input; its last byte also picks the backup option and the read
// size: unlimited, or a square from 1 to 3969, small enough to split CR LF pairs.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrune;
  using namespace kestrune::fuzz;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const unsigned options = size > 0 ? data[size - 1] : 0u;
  const bool backups = (options & 0x40u) != 0;

  MemoryPlatform files;
  files.AddFile(kInput, bytes);
  files.AddFile(kNested, kNestedText);
  const std::size_t read_root = options & 0x3Fu;
  files.LimitReadSize(read_root * read_root);
  CountingSink sink;
  ConversionEngine& engine = FreshEngine(files, sink);
  StartRun(engine, backups);
  engine.ConvertFile(kInput);

  const Expected expected = Model(bytes);
  Require(sink.errors == 0, "no error is shown for a readable, writable file");
  Require(sink.statuses == (expected.nested ? 2 : 1), "one status per converted file");
  Require(files.open_files() == 0, "every file opened is closed");
  CheckInput(files, expected, bytes, backups);
  CheckNested(files, expected, backups);
  const std::size_t names = 2 + (expected.left_alone ? 0 : backups) + (expected.nested && backups);
  Require(files.Paths().size() == names, "no temporary file is left behind");
  return 0;
}
