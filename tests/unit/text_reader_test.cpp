// Text reading: carriage returns before line feeds, 299-character pieces, bytes kept as data.
#include "engine/text_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/memory_platform.h"

namespace kestrune {
namespace {

std::vector<std::string> Pieces(const std::string& bytes, std::size_t read_size = 0) {
  MemoryPlatform files;
  files.AddFile("f", bytes);
  if (read_size != 0) files.LimitReadSize(read_size);
  static TextReader reader;
  reader.Start(files, files.OpenForRead("f"));
  std::vector<std::string> pieces;
  char line[kLineBytes];
  for (std::size_t n; (n = reader.ReadLine(line)) != 0;) {
    EXPECT_EQ(line[n], '\0');
    pieces.emplace_back(line, n);
  }
  return pieces;
}

using Lines = std::vector<std::string>;

TEST(TextReader, OnlyACarriageReturnBeforeALineFeedIsDropped) {
  EXPECT_EQ(Pieces("a\r\nb\rc\r\r\nd\r"), (Lines{"a\n", "b\rc\r\n", "d\r"}));
}

TEST(TextReader, PairsSplitAcrossReadsAreStillJoined) {
  EXPECT_EQ(Pieces("ab\r\ncd\r\n", 3), (Lines{"ab\n", "cd\n"}));
  EXPECT_EQ(Pieces("a\r", 1), (Lines{"a\r"}));
}

TEST(TextReader, LongLinesComeInPiecesOf299) {
  const std::string l299(299, 'x');
  EXPECT_EQ(Pieces(l299 + "\r\n"), (Lines{l299, "\n"}));
  const std::string l298(298, 'y');
  EXPECT_EQ(Pieces(l298 + "\r\n"), (Lines{l298 + "\n"}));
  const std::string l300(300, 'z');
  EXPECT_EQ(Pieces(l300 + "\n"), (Lines{std::string(299, 'z'), "z\n"}));
}

TEST(TextReader, NulAndSubstituteBytesAreData) {
  const std::string bytes = std::string("a\0b\x1A" "c\n\x1A\n", 8);
  EXPECT_EQ(Pieces(bytes), (Lines{std::string("a\0b\x1A" "c\n", 6), "\x1A\n"}));
}

TEST(TextReader, AReadFailureEndsTheFileAndIsReported) {
  MemoryPlatform files;
  files.AddFile("f", "one\ntwo\n");
  files.LimitReadSize(4);
  files.FailReadsFrom(2);
  static TextReader reader;
  reader.Start(files, files.OpenForRead("f"));
  char line[kLineBytes];
  EXPECT_EQ(reader.ReadLine(line), 4u);
  EXPECT_EQ(reader.ReadLine(line), 0u);
  EXPECT_TRUE(reader.failed());
}

}  // namespace
}  // namespace kestrune
