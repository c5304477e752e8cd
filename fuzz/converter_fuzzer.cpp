// Fuzzes text reading and the converter's line loop against a plain model of the line rules.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/conversion_engine.h"
#include "engine/platform/memory_platform.h"
#include "fuzz/fresh_engine.h"
#include "fuzz/property.h"
#include "tests/support/counting_sink.h"
#include "tests/support/text_model.h"

namespace kestrune::fuzz {
namespace {

constexpr char kInput[] = "IN.SCH";
constexpr char kBackup[] = "IN.P71";
constexpr char kNested[] = "SUB.SCH";
constexpr char kNestedBackup[] = "SUB.P71";
constexpr char kNestedText[] = "*version 7.1\nsub\n";
constexpr char kNestedConverted[] = "*version 6.1\nsub\n";

using test::CountingSink;

using model::Conversion;

// Whether the part lines that a conversion follows lead to the nested file.
bool LeadsToNested(const Conversion& expected) {
  for (const std::string& name : expected.looked_up) {
    if (model::UpperAscii(name) == "SUB") return true;
  }
  return false;
}

void StartRun(ConversionEngine& engine, bool backups) {
  engine.StartRun(backups, true);
  engine.parts().SetPartName(0, "SUB");
  engine.parts().SetPartDefault(0, kNested);
}

void CheckNested(const MemoryPlatform& files, bool nested, bool backups) {
  Require(files.Contents(kNested) == (nested ? kNestedConverted : kNestedText),
          "the nested file is converted exactly when a part line leads to it");
  Require(files.HasFile(kNestedBackup) == (nested && backups),
          "the nested file has a backup exactly when it was converted with backups on");
  if (files.HasFile(kNestedBackup)) {
    Require(files.Contents(kNestedBackup) == kNestedText,
            "the nested backup holds its old contents");
  }
}

void CheckInput(const MemoryPlatform& files, const Conversion& expected, const std::string& bytes,
                bool backups) {
  if (expected.left_alone || !expected.error.empty()) {
    Require(files.Contents(kInput) == bytes, "a file at 6.1 or refused keeps every byte");
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

  const Conversion expected = model::ConvertSchematic(bytes, true);
  const bool nested = LeadsToNested(expected);
  const bool rewritten = !expected.left_alone && expected.error.empty();
  Require(sink.errors == (expected.error.empty() ? 0 : 1),
          "an error is shown exactly for a refused file");
  Require(sink.statuses == (nested ? 2 : 1), "one status per converted file");
  Require(files.open_files() == 0, "every file opened is closed");
  CheckInput(files, expected, bytes, backups);
  CheckNested(files, nested, backups);
  const std::size_t names = 2 + (rewritten && backups) + (nested && backups);
  Require(files.Paths().size() == names, "no temporary file is left behind");
  return 0;
}
