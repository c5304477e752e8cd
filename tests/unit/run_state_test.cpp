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

// A file is known by its identity under any name; a path that names no file only by its text.
TEST_F(VisitedList, AFileIsKnownByItsIdentityAndAPathWithoutOneByItsText) {
  FileInfo amp;
  amp.kind = FileKind::kRegular;
  amp.device = 1;
  amp.index = 7;
  FileInfo other = amp;
  other.index = 8;
  visited.ResetVisited();
  ASSERT_TRUE(visited.RecordVisited("C:\\Work\\Amp.sch", amp));
  ASSERT_TRUE(visited.RecordVisited("Gone.sch"));
  EXPECT_TRUE(visited.IsVisited("C:\\Work\\Amp.sch"));
  EXPECT_FALSE(visited.IsVisited("c:\\WORK\\AMP.SCH")) << "another name is looked up first";
  EXPECT_TRUE(visited.IsVisited("C:\\Work\\.\\Amp.sch", amp));
  EXPECT_FALSE(visited.IsVisited("c:\\work\\amp.sch", other)) << "a file of a similar name";
  EXPECT_TRUE(visited.IsVisited("GONE.SCH", FileInfo{}));
  EXPECT_FALSE(visited.IsVisited("C:\\Work\\.\\Amp.sch", FileInfo{}));
  visited.Reidentify(0, other);
  EXPECT_TRUE(visited.IsVisited("Amp.sch", other)) << "the converted file took its place";
  EXPECT_FALSE(visited.IsVisited("Amp.sch", amp));
  EXPECT_EQ(visited.VisitedCount(), 2);
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

// A "PART=" value is looked up by its bytes up to the line's end or a NUL byte, whichever
// comes first; it finds the row whatever its size, and only that row.
TEST_F(PartRows, ValuesOfEverySizeFindTheirRowUpToANulByte) {
  parts.ResetParts();
  std::string names[20];
  for (int size = 1; size <= 19; ++size) {
    for (int i = 0; i < size; ++i) names[size] += static_cast<char>('a' + (size + i) % 26);
    parts.SetPartName(size - 1, names[size].c_str());
    parts.SetPartDefault(size - 1, std::to_string(size).c_str());
  }
  for (int size = 1; size <= 19; ++size) {
    std::string upper = names[size];
    for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
    const std::string after_nul = upper + std::string(1, '\0') + "tail";
    const std::string longer = upper + "x";
    EXPECT_STREQ(parts.FindPart(upper.data(), upper.size()), std::to_string(size).c_str());
    EXPECT_STREQ(parts.FindPart(after_nul.data(), after_nul.size()), std::to_string(size).c_str());
    EXPECT_EQ(parts.FindPart(longer.data(), longer.size()), nullptr) << size;
    EXPECT_EQ(parts.FindPart(upper.data(), upper.size() - 1), nullptr) << size;  // no row's name
  }
  const std::string too_long(20, 'a');
  EXPECT_EQ(parts.FindPart(too_long.data(), too_long.size()), nullptr);
  EXPECT_EQ(parts.FindPart("\0a", 2), nullptr);
}

}  // namespace
}  // namespace kestrune
