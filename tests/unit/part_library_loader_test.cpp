// The library loader over an in-memory INI file and libraries.
#include "engine/part_library_loader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/run_state.h"
#include "tests/support/faulty_platform.h"
#include "tests/support/memory_platform.h"
#include "tests/support/recording_sink.h"

namespace kestrune::test {
namespace {

using Texts = std::vector<std::string>;

class Loader : public ::testing::Test {
 protected:
  Loader() : scoped_(files_) {}

  int Load(const std::string& ini) {
    files_.AddFile(".\\MSIM.INI", ini);
    return LoadPartLibraries(sink_, ".\\MSIM.INI");
  }
  void AddLibrary(const std::string& path, const std::string& text) { files_.AddFile(path, text); }

  MemoryPlatform files_;
  RecordingSink sink_;

 private:
  ScopedPlatform scoped_;
};

TEST_F(Loader, ReadsListedLibrariesInOrderWithTheirStatusTexts) {
  AddLibrary("C:\\LIBS\\ONE.slb", "*version 7.1\nPART=AMP\nDEFAULT=amp.sch\n");
  AddLibrary("D:\\OWN\\TWO.slb", "PART=Amp\r\nDEFAULT=other.sch\r\nPART=FILT\nDEFAULT=filt.sch\n");
  EXPECT_EQ(Load("[MICROSIM]\nLIBPATH=\"C:\\LIBS\"\n[PART LIBS]\nLIB1=ONE [.slb]\nLIB2=D:\\OWN\\TWO\n"), 1);
  EXPECT_EQ(sink_.statuses(), (Texts{"Status: Finding LIB Path...", "Status: Lib Path set to C:\\LIBS",
                                     "Status: Loading library ONE", "Status: Loading library D:\\OWN\\TWO",
                                     "Status: Loaded 3 parts"}));
  EXPECT_STREQ(FindPart("amp"), "amp.sch");
  EXPECT_STREQ(FindPart("FILT"), "filt.sch");
  EXPECT_TRUE(sink_.errors().empty());
}

TEST_F(Loader, TheListEndsAtTheFirstMissingEmptyOrEndMarkerKey) {
  AddLibrary("Unknown\\B.slb", "PART=B\nDEFAULT=b\n");
  Load("[PART LIBS]\nLIB2=B\n");
  EXPECT_EQ(sink_.statuses().back(), "Status: Loaded 0 parts");
  EXPECT_EQ(sink_.statuses()[1], "Status: Lib Path set to Unknown");

  sink_.calls.clear();
  Load("[PART LIBS]\nLIB1=empty\nLIB2=B\nLIB3=EMPTY\nLIB4=B\n");
  EXPECT_EQ(sink_.statuses(), (Texts{"Status: Finding LIB Path...", "Status: Lib Path set to Unknown",
                                     "Status: Loading library empty", "Status: Loading library B",
                                     "Status: Loaded 1 parts"}));
}

TEST_F(Loader, AMissingIniFileLoadsNothingAndSaysNothing) {
  EXPECT_EQ(LoadPartLibraries(sink_, ".\\NONE.INI"), 1);
  EXPECT_EQ(sink_.statuses().back(), "Status: Loaded 0 parts");
  EXPECT_TRUE(sink_.errors().empty());
}

TEST_F(Loader, RowsFollowTheLastNameBeforeEachDefault) {
  AddLibrary("L\\ONE.slb", "PART=LOST\nPART=KEPT\nDEFAULT=k\nPART=CARRIED\n");
  AddLibrary("L\\TWO.slb", "DEFAULT=c\nDEFAULT=nameless\nPART=HIDDEN\nDEFAULT=h\nPART=DANGLING\n");
  Load("[MICROSIM]\nLIBPATH=L\n[PART LIBS]\nLIB1=ONE\nLIB2=TWO\n");
  EXPECT_EQ(sink_.statuses().back(), "Status: Loaded 4 parts");
  EXPECT_STREQ(PartTable[0].Name, "KEPT");
  EXPECT_STREQ(FindPart("carried"), "c");
  EXPECT_EQ(FindPart("LOST"), nullptr);
  EXPECT_EQ(FindPart("HIDDEN"), nullptr);  // behind the nameless row
  EXPECT_STREQ(PartTable[4].Name, "DANGLING");
  EXPECT_STREQ(PartTable[4].Default, "");
}

}  // namespace
}  // namespace kestrune::test
