// The whole Convert command: order of its reports and its closing message.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/run_state.h"
#include "tests/support/engine_fixture.h"

namespace kestrune::test {
namespace {

using Texts = std::vector<std::string>;
using Kind = SinkCall::Kind;

class Run : public EngineFixture {};

TEST_F(Run, AnEmptyInputFieldStillLoadsLibrariesThenIsRefused) {
  engine().RunConversion("", "./NONE.INI", 0, 0);
  EXPECT_EQ(sink.calls, (std::vector<SinkCall>{{Kind::kStatus, "Status: Finding LIB Path..."},
                                               {Kind::kStatus, "Status: Lib Path set to Unknown"},
                                               {Kind::kStatus, "Status: Loaded 0 parts"},
                                               {Kind::kError, "ERROR: No input file given!"},
                                               {Kind::kInfo, "Finished with errors!"},
                                               {Kind::kStatus, "Status: Idle"}}));
}

TEST_F(Run, AMissingInputIsReportedThenListed) {
  engine().RunConversion("GONE.SCH", "./NONE.INI", 0, 0);
  ASSERT_EQ(sink.calls.size(), 6u);
  EXPECT_EQ(sink.calls[3], (SinkCall{Kind::kError, "ERROR: Unable to open input file!\nGONE.SCH"}));
  EXPECT_EQ(sink.calls[4], (SinkCall{Kind::kInfo, "GONE.SCH\nFinished with errors!"}));
  EXPECT_EQ(sink.calls[5], (SinkCall{Kind::kStatus, "Status: Idle"}));
}

TEST_F(Run, NestedRunThroughTheIniListsEveryVisitedFileInOrder) {
  Write("MSIM.INI", "[MICROSIM]\nLIBPATH=.\n[PART LIBS]\nLIB1=OWN [.slb]\n");
  Write("OWN.slb", "PART=FILTER\nDEFAULT=FILTER.SCH\nPART=MISSING\nDEFAULT=NOFILE.SCH\n");
  Write("AMP.SCH", "*version 7.1\r\nPART=FILTER\r\nPART=MISSING\r\n");
  Write("FILTER.SCH", "*version 7.1\r\n@setup\r\nx\r\n@index\r\n");
  engine().RunConversion("AMP.SCH", ".\\MSIM.INI", 1, 1);
  EXPECT_EQ(sink.infos(), (Texts{"AMP.SCH\nFILTER.SCH\nNOFILE.SCH\nFinished with errors!"}));
  EXPECT_EQ(sink.errors(), (Texts{"ERROR: Unable to open input file!\nNOFILE.SCH"}));
  EXPECT_EQ(Read("FILTER.SCH"), "*version 6.1\n@index\n");
  EXPECT_EQ(Read("AMP.SCH"), "*version 6.1\nPART=FILTER\nPART=MISSING\n");
  EXPECT_TRUE(Exists("AMP.P71"));
  EXPECT_EQ(sink.statuses().back(), "Status: Idle");
}

TEST_F(Run, ASecondRunFindsTheFileConvertedAndListsItAgain) {
  Write("AMP.SCH", "*version 7.1\n");
  engine().RunConversion("AMP.SCH", "./NONE.INI", 1, 0);
  Write("AMP.P71", "first backup");
  engine().RunConversion("AMP.SCH", "./NONE.INI", 1, 0);
  EXPECT_EQ(sink.infos(), (Texts{"AMP.SCH\nConverted!", "AMP.SCH\nConverted!"}));
  EXPECT_EQ(Read("AMP.SCH"), "*version 6.1\n");
  EXPECT_EQ(Read("AMP.P71"), "first backup");
}

// A design converted before, met again: its top file stays at 6.1, but the nested file that
// was left at 7.1 is still reached and converted.
TEST_F(Run, AFileAt61StillLeadsToItsNestedFilesWhenTheyAreConverted) {
  Write("MSIM.INI", "[MICROSIM]\nLIBPATH=.\n[PART LIBS]\nLIB1=OWN\n");
  Write("OWN.slb", "PART=SUB\nDEFAULT=SUB.SCH\n");
  const std::string top = "*version 6.1\r\n@setup\r\nPART=SUB\r\n@index\r\n";
  Write("TOP.SCH", top);
  Write("SUB.SCH", "*version 7.1\r\nsub\r\n");
  engine().RunConversion("TOP.SCH", "./MSIM.INI", 0, 0);
  EXPECT_EQ(Read("SUB.SCH"), "*version 7.1\r\nsub\r\n");
  engine().RunConversion("TOP.SCH", "./MSIM.INI", 0, 1);
  EXPECT_EQ(Read("SUB.SCH"), "*version 6.1\nsub\n");
  EXPECT_EQ(Read("TOP.SCH"), top);
  EXPECT_EQ(sink.infos(), (Texts{"TOP.SCH\nConverted!", "TOP.SCH\nSUB.SCH\nConverted!"}));
  EXPECT_TRUE(sink.errors().empty());
}

TEST_F(Run, OptionsAndVisitedListAreSetFreshForEachRun) {
  Write("X.SCH", "*version 7.1\n");
  Write("Y.SCH", "*version 7.1\n");
  engine().RunConversion("X.SCH", "./NONE.INI", 7, 0);  // any value but zero is on
  EXPECT_TRUE(Exists("X.P71"));
  engine().RunConversion("Y.SCH", "./NONE.INI", 0, 1);
  EXPECT_FALSE(Exists("Y.P71"));
  EXPECT_EQ(engine().visited().VisitedCount(), 1);
  EXPECT_STREQ(engine().visited().Row(0), "Y.SCH");
}

}  // namespace
}  // namespace kestrune::test
