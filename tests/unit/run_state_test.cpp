// The run tables: visited list and part table rules.
#include "engine/run_state.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrune {
namespace {

class VisitedList : public ::testing::Test {
 protected:
  VisitedFiles visited;
};

class PartRows : public ::testing::Test {
 protected:
  PartTable parts;
};

TEST_F(VisitedList, EmptyPathCountsAsVisitedEvenAfterReset) {
  visited.ResetVisited();
  EXPECT_TRUE(visited.IsVisited(""));
  EXPECT_FALSE(visited.IsVisited("A.SCH"));
}

TEST_F(VisitedList, LetterCaseIsIgnoredButSpellingsOfOneFileDiffer) {
  visited.ResetVisited();
  ASSERT_TRUE(visited.RecordVisited("C:\\Work\\Amp.sch"));
  EXPECT_TRUE(visited.IsVisited("c:\\WORK\\AMP.SCH"));
  EXPECT_FALSE(visited.IsVisited("Amp.sch"));
  EXPECT_FALSE(visited.IsVisited("C:\\Work\\.\\Amp.sch"));
  EXPECT_EQ(visited.VisitedCount(), 1);
}

TEST_F(VisitedList, RefusesThe101stPathAndKeepsTheRows) {
  visited.ResetVisited();
  for (int i = 0; i < kVisitedRows; ++i) ASSERT_TRUE(visited.RecordVisited(("F" + std::to_string(i)).c_str()));
  EXPECT_FALSE(visited.RecordVisited("ONE.MORE"));
  EXPECT_EQ(visited.VisitedCount(), kVisitedRows);
  EXPECT_FALSE(visited.IsVisited("ONE.MORE"));
  EXPECT_STREQ(visited.Row(99), "F99");
}

TEST_F(VisitedList, HoldsPathsOf199CharactersAndRefusesLonger) {
  visited.ResetVisited();
  const std::string longest(199, 'a');
  EXPECT_TRUE(visited.RecordVisited(longest.c_str()));
  EXPECT_FALSE(visited.RecordVisited(std::string(200, 'b').c_str()));
  EXPECT_EQ(visited.VisitedCount(), 1);
  EXPECT_TRUE(visited.IsVisited(longest.c_str()));
}

TEST_F(PartRows, FirstMatchWinsIgnoringCase) {
  parts.ResetParts();
  parts.SetPartName(0, "Amp");
  parts.SetPartDefault(0, "first.sch");
  parts.SetPartName(1, "AMP");
  parts.SetPartDefault(1, "second.sch");
  EXPECT_STREQ(parts.FindPart("amp"), "first.sch");
}

TEST_F(PartRows, EmptyNameEndsEveryLookupAndIsNeverMatched) {
  parts.ResetParts();
  parts.SetPartName(0, "R");
  parts.SetPartDefault(1, "hidden.sch");  // row 1 keeps an empty name
  parts.SetPartName(2, "HIDDEN");
  parts.SetPartDefault(2, "behind.sch");
  EXPECT_EQ(parts.FindPart("HIDDEN"), nullptr);
  EXPECT_EQ(parts.FindPart(""), nullptr);
  EXPECT_STREQ(parts.FindPart("r"), "");
}

TEST_F(PartRows, TextsThatDoNotFitAreRefusedAndTheRowKept) {
  parts.ResetParts();
  ASSERT_TRUE(parts.SetPartName(0, std::string(19, 'n').c_str()));
  EXPECT_FALSE(parts.SetPartName(0, std::string(20, 'x').c_str()));
  EXPECT_EQ(std::string(parts.Row(0).Name), std::string(19, 'n'));
  EXPECT_TRUE(parts.SetPartDefault(0, std::string(199, 'd').c_str()));
  EXPECT_FALSE(parts.SetPartDefault(0, std::string(200, 'd').c_str()));
  EXPECT_FALSE(parts.SetPartName(kPartRows, "X"));
  EXPECT_FALSE(parts.SetPartName(-1, "X"));
}

TEST_F(PartRows, LastRowIsSearched) {
  parts.ResetParts();
  for (int i = 0; i < kPartRows; ++i) parts.SetPartName(i, ("P" + std::to_string(i)).c_str());
  parts.SetPartDefault(kPartRows - 1, "last.sch");
  EXPECT_STREQ(parts.FindPart("p999"), "last.sch");
  EXPECT_EQ(parts.FindPart("P1000"), nullptr);
}

}  // namespace
}  // namespace kestrune
