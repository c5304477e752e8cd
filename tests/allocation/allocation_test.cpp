// Proves that the converter and the library loader allocate no heap memory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "engine/conversion_engine.h"
#include "tests/allocation/allocation_counter.h"
#include "tests/support/counting_sink.h"
#include "tests/support/engine_fixture.h"

namespace kestrune::test {
namespace {

class Allocations : public EngineFixture {
 protected:
  // Allocations while the libraries of MSIM.INI load and TOP.SCH converts. Recording the
  // sink's texts would allocate; counting them does not. The engine itself is made before.
  long AllocationsOfARun(bool backups, bool embedded) {
    StartCountingAllocations();
    counted_engine->StartRun(backups, embedded);
    counted_engine->LoadPartLibraries(".\\MSIM.INI");
    counted_engine->ConvertFile("TOP.SCH");
    return StopCountingAllocations();
  }

  CountingSink counting_sink;
  std::unique_ptr<ConversionEngine> counted_engine =
      std::make_unique<ConversionEngine>(SystemPlatform(), counting_sink);
};

TEST_F(Allocations, TheCounterSeesAllocations) {
  StartCountingAllocations();
  void* volatile block = std::malloc(16);
  std::string grown(1000, 'x');
  const long counted = StopCountingAllocations();
  std::free(block);
  EXPECT_GE(counted, 2);
}

TEST_F(Allocations, NoneDuringALibraryLoadAndANestedConversion) {
  Write("MSIM.INI", "[MICROSIM]\nLIBPATH=\"lib\"\n[PART LIBS]\nLIB1=parts [.slb]\nLIB2=missing\n");
  std::filesystem::create_directory(scratch.path() / "lib");
  Write("lib/parts.slb",
        "PART=SUB\r\nDEFAULT=sub\\MID.SCH\r\nPART=LEAF\r\nDEFAULT=sub/leaf.sch\r\n");
  std::filesystem::create_directory(scratch.path() / "sub");
  Write("TOP.SCH",
        "*version 7.1\r\n@setup\r\nx\r\n@index\r\nPART=SUB\r\n" + std::string(70000, 'z') + "\r\n");
  Write("sub/MID.SCH", "*version 7.1\nPART=LEAF\n");
  Write("sub/LEAF.SCH", "*version 7.1\nleaf\n");
  EXPECT_EQ(AllocationsOfARun(true, true), 0);
  EXPECT_EQ(counting_sink.errors, 1);        // the missing library, its path composed in place
  EXPECT_EQ(counting_sink.statuses, 5 + 3);  // loading steps, then one per converted file
  EXPECT_EQ(counted_engine->visited().VisitedCount(), 3);
  EXPECT_EQ(Read("sub/LEAF.SCH"), "*version 6.1\nleaf\n");
}

// Every line a "PART=" line, looked up in a full table of 1000 parts: the table's index is
// built and probed without allocating, found parts included.
TEST_F(Allocations, NoneWithAFullPartTableAndOnlyPartLines) {
  Write("MSIM.INI", "[MICROSIM]\nLIBPATH=lib\n[PART LIBS]\nLIB1=full\n");
  std::filesystem::create_directory(scratch.path() / "lib");
  std::string library;
  for (int row = 0; row < kPartRows; ++row) {
    library += "PART=P" + std::to_string(row) +
               "\r\nDEFAULT=" + (row == 999 ? "LEAF.SCH" : "none") + "\r\n";
  }
  Write("lib/full.slb", library);
  std::string top = "*version 7.1\r\n";
  for (int line = 0; line < 20000; ++line) top += "PART=Q" + std::to_string(line % 1000) + "\r\n";
  Write("TOP.SCH", top + "PART=p999\r\n");
  Write("LEAF.SCH", "*version 7.1\nleaf\n");
  EXPECT_EQ(AllocationsOfARun(false, true), 0);
  EXPECT_EQ(counting_sink.errors, 0);
  EXPECT_STREQ(counted_engine->FindPart("P0"), "none");
  EXPECT_EQ(counted_engine->visited().VisitedCount(), 2);
  EXPECT_EQ(Read("LEAF.SCH"), "*version 6.1\nleaf\n");
}

}  // namespace
}  // namespace kestrune::test
