// The run tables: visited list and part table rules.
#include "engine/run_state.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrune {
namespace {

TEST(VisitedList, EmptyPathCountsAsVisitedEvenAfterReset) {
  ResetVisited();
  EXPECT_TRUE(IsVisited(""));
  EXPECT_FALSE(IsVisited("A.SCH"));
}

TEST(VisitedList, LetterCaseIsIgnoredButSpellingsOfOneFileDiffer) {
  ResetVisited();
  ASSERT_TRUE(RecordVisited("C:\\Work\\Amp.sch"));
  EXPECT_TRUE(IsVisited("c:\\WORK\\AMP.SCH"));
  EXPECT_FALSE(IsVisited("Amp.sch"));
  EXPECT_FALSE(IsVisited("C:\\Work\\.\\Amp.sch"));
  EXPECT_EQ(VisitedCount, 1);
}

TEST(VisitedList, RefusesThe101stPathAndKeepsTheRows) {
  ResetVisited();
  for (int i = 0; i < kVisitedRows; ++i) ASSERT_TRUE(RecordVisited(("F" + std::to_string(i)).c_str()));
  EXPECT_FALSE(RecordVisited("ONE.MORE"));
  EXPECT_EQ(VisitedCount, kVisitedRows);
  EXPECT_FALSE(IsVisited("ONE.MORE"));
  EXPECT_STREQ(VisitedFiles[99], "F99");
}

TEST(VisitedList, HoldsPathsOf199CharactersAndRefusesLonger) {
  ResetVisited();
  const std::string longest(199, 'a');
  EXPECT_TRUE(RecordVisited(longest.c_str()));
  EXPECT_FALSE(RecordVisited(std::string(200, 'b').c_str()));
  EXPECT_EQ(VisitedCount, 1);
  EXPECT_TRUE(IsVisited(longest.c_str()));
}

TEST(PartTable, FirstMatchWinsIgnoringCase) {
  ResetParts();
  SetPartName(0, "Amp");
  SetPartDefault(0, "first.sch");
  SetPartName(1, "AMP");
  SetPartDefault(1, "second.sch");
  EXPECT_STREQ(FindPart("amp"), "first.sch");
}

TEST(PartTable, EmptyNameEndsEveryLookupAndIsNeverMatched) {
  ResetParts();
  SetPartName(0, "R");
  SetPartDefault(1, "hidden.sch");  // row 1 keeps an empty name
  SetPartName(2, "HIDDEN");
  SetPartDefault(2, "behind.sch");
  EXPECT_EQ(FindPart("HIDDEN"), nullptr);
  EXPECT_EQ(FindPart(""), nullptr);
  EXPECT_STREQ(FindPart("r"), "");
}

TEST(PartTable, TextsThatDoNotFitAreRefusedAndTheRowKept) {
  ResetParts();
  ASSERT_TRUE(SetPartName(0, std::string(19, 'n').c_str()));
  EXPECT_FALSE(SetPartName(0, std::string(20, 'x').c_str()));
  EXPECT_EQ(std::string(PartTable[0].Name), std::string(19, 'n'));
  EXPECT_TRUE(SetPartDefault(0, std::string(199, 'd').c_str()));
  EXPECT_FALSE(SetPartDefault(0, std::string(200, 'd').c_str()));
  EXPECT_FALSE(SetPartName(kPartRows, "X"));
  EXPECT_FALSE(SetPartName(-1, "X"));
}

TEST(PartTable, LastRowIsSearched) {
  ResetParts();
  for (int i = 0; i < kPartRows; ++i) SetPartName(i, ("P" + std::to_string(i)).c_str());
  SetPartDefault(kPartRows - 1, "last.sch");
  EXPECT_STREQ(FindPart("p999"), "last.sch");
  EXPECT_EQ(FindPart("P1000"), nullptr);
}

}  // namespace
}  // namespace kestrune
