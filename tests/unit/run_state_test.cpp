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

}  // namespace
}  // namespace kestrune
