// Text reading: carriage returns before line feeds, 299-character pieces, bytes kept as data.
#include "engine/text_reader.h"

#include <gtest/gtest.h>

#include <random>
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

// The reading rules stated plainly: a carriage return before a line feed goes, and a piece
// ends after a line feed or at 299 characters.
Lines ModelPieces(const std::string& bytes) {
  std::string decoded;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) decoded += bytes[i];
  }
  Lines pieces;
  std::string piece;
  for (const char c : decoded) {
    piece += c;
    if (c == '\n' || piece.size() == kLineChars) pieces.push_back(std::move(piece)), piece.clear();
  }
  if (!piece.empty()) pieces.push_back(piece);
  return pieces;
}

// Lines of every length around the piece size and the buffer size, rich in carriage returns
// and in marker bytes, some of them markers.
std::string RandomText(std::mt19937& random, std::size_t size) {
  static const std::string kWords[] = {"a", "bc", "\r", "\n", "\r\n", "*", "@", "P", "PART=", "@setup",
                                       "PAR", "ART=", "\r\r\n", std::string(120, 'x'), std::string(299, 'y')};
  std::string text;
  while (text.size() < size) text += kWords[random() % (sizeof kWords / sizeof kWords[0])];
  return text;
}

const char* const kMarkerTexts[] = {"PART=", "@setup", "*version 7.1"};
const LineMarkers kMarkers(kMarkerTexts, 3);

bool HoldsMarker(const std::string& piece) {
  for (const char* marker : kMarkerTexts) {
    if (piece.find(marker) != std::string::npos) return true;
  }
  return false;
}

TEST(TextReader, ReadsAsTheRulesSayAtAnyReadSize) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    const std::string text = RandomText(random, 1 + random() % 40000);
    const std::size_t read_size = round % 4 == 0 ? 0 : 1 + random() % 5000;
    EXPECT_EQ(Pieces(text, read_size), ModelPieces(text)) << "round " << round;
  }
}

// Bulk taking and piecewise reading, mixed as the converter mixes them, give the same bytes,
// and every piece that holds a marker is handed out by ReadLine.
TEST(TextReader, PlainLinesComeInBulkAndMarkedLinesPieceByPiece) {
  std::mt19937 random(11);
  for (int round = 0; round < 40; ++round) {
    const std::string text = RandomText(random, 1 + random() % 60000) + (round % 2 ? "\n" : "");
    MemoryPlatform files;
    files.AddFile("f", text);
    if (round % 3 != 0) files.LimitReadSize(1 + random() % 20000);
    static TextReader reader;
    reader.Start(files, files.OpenForRead("f"));
    static char bulk[TextReader::kBufferBytes + TextReader::kCopySlack];
    std::string taken_bytes;
    Lines read_pieces;
    char line[kLineBytes];
    std::size_t length = 1;
    while (length != 0) {
      for (std::size_t n; (n = reader.TakePlainLines(bulk, kMarkers)) != 0;) {
        ASSERT_EQ(bulk[n - 1], '\n');
        taken_bytes.append(bulk, n);
      }
      while ((length = reader.ReadLine(line)) != 0) {
        read_pieces.emplace_back(line, length);
        taken_bytes.append(line, length);
        if (line[length - 1] == '\n') break;
      }
    }
    const Lines model = ModelPieces(text);
    std::string model_bytes;
    std::size_t marked = 0;
    for (const std::string& piece : model) {
      model_bytes += piece;
      if (HoldsMarker(piece)) ++marked;
    }
    EXPECT_EQ(taken_bytes, model_bytes) << "round " << round;
    std::size_t marked_read = 0;
    for (const std::string& piece : read_pieces) marked_read += HoldsMarker(piece) ? 1 : 0;
    EXPECT_EQ(marked_read, marked) << "round " << round;
  }
}

}  // namespace
}  // namespace kestrune
