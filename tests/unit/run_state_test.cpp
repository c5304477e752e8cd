// The run tables: visited list and part table rules.
#include "engine/run_state.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/table_fixtures.h"

namespace kestrune {
namespace {

using test::PartRows;
using test::VisitedList;

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

}  // namespace
}  // namespace kestrune
