// Text reading: carriage returns before line feeds, pieces as the model says, bulk taking, bytes
// kept as data.
#include "engine/text_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/platform/memory_platform.h"
#include "tests/support/reader_pieces.h"
#include "tests/support/text_model.h"

namespace kestrune {
namespace {

using test::ReaderPieces;
using Lines = std::vector<std::string>;

TEST(TextReader, OnlyACarriageReturnBeforeALineFeedIsDropped) {
  EXPECT_EQ(ReaderPieces("a\r\nb\rc\r\r\nd\r"), (Lines{"a\n", "b\rc\r\n", "d\r"}));
}

TEST(TextReader, PairsSplitAcrossReadsAreStillJoined) {
  EXPECT_EQ(ReaderPieces("ab\r\ncd\r\n", 3), (Lines{"ab\n", "cd\n"}));
  EXPECT_EQ(ReaderPieces("a\r", 1), (Lines{"a\r"}));
}

TEST(TextReader, NulAndSubstituteBytesAreData) {
  const std::string bytes = std::string(
      "a\0b\x1A"
      "c\n\x1A\n",
      8);
  EXPECT_EQ(ReaderPieces(bytes), (Lines{std::string("a\0b\x1A"
                                                    "c\n",
                                                    6),
                                        "\x1A\n"}));
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

// Lines of every length around the piece size and the buffer size, rich in carriage returns
// and in marker bytes, some of them markers.
std::string RandomText(std::mt19937& random, std::size_t size) {
  static const std::string kWords[] = {"a",
                                       "bc",
                                       "\r",
                                       "\n",
                                       "\r\n",
                                       "*",
                                       "@",
                                       "P",
                                       "PART=",
                                       "@setup",
                                       "PAR",
                                       "ART=",
                                       "\r\r\n",
                                       std::string(120, 'x'),
                                       std::string(299, 'y')};
  std::string text;
  while (text.size() < size) text += kWords[random() % (sizeof kWords / sizeof kWords[0])];
  return text;
}

const char* const kMarkerTexts[] = {"PART=", "@setup", "*version 7.1"};
const LineMarkers kMarkers(kMarkerTexts, 3);
const LineMarkers kMarkersCarryingPart(kMarkerTexts, 3, 0);

std::size_t MarkerCount(const std::string& piece) {
  std::size_t count = 0;
  for (const char* marker : kMarkerTexts) {
    for (std::size_t at = piece.find(marker); at != std::string::npos;
         at = piece.find(marker, at + 1))
      ++count;
  }
  return count;
}

TEST(TextReader, ReadsAsTheRulesSayAtAnyReadSize) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    const std::string text = RandomText(random, 1 + random() % 40000);
    const std::size_t read_size = round % 4 == 0 ? 0 : 1 + random() % 5000;
    EXPECT_EQ(ReaderPieces(text, read_size), model::TextPieces(text)) << "round " << round;
  }
}

// What bulk taking and piecewise reading, mixed as the converter mixes them, handed out.
struct Taken {
  std::string bytes;
  Lines read_pieces;
  Lines carried_lines;  // bulk lines reported to hold the carried marker
};

Taken TakeMixed(const std::string& text, std::size_t read_size, const LineMarkers& markers) {
  MemoryPlatform files;
  files.AddFile("f", text);
  if (read_size != 0) files.LimitReadSize(read_size);
  static TextReader reader;
  reader.Start(files, files.OpenForRead("f"));
  static char bulk[TextReader::kBulkRoom];
  Taken taken;
  char line[kLineBytes];
  std::size_t length = 1;
  while (length != 0) {
    CarriedLines carried;
    for (std::size_t n; (n = reader.TakePlainLines(bulk, markers, &carried)) != 0;) {
      EXPECT_EQ(bulk[n - 1], '\n');
      taken.bytes.append(bulk, n);
      const std::string bulk_bytes(bulk, n);
      std::size_t previous_end = 0;
      for (int i = 0; i < carried.count; ++i) {
        const std::size_t value = carried.lines[i].value, end = carried.lines[i].end;
        const bool whole_line = end > previous_end && end <= n && bulk[end - 1] == '\n';
        EXPECT_TRUE(whole_line);
        if (!whole_line) break;
        const std::size_t line_start = bulk_bytes.rfind('\n', end - 2) + 1;  // npos + 1 is 0
        EXPECT_GE(value - 5, line_start);
        EXPECT_EQ(bulk_bytes.compare(value - 5, 5, "PART="), 0);
        taken.carried_lines.push_back(bulk_bytes.substr(line_start, end - line_start));
        previous_end = end;
      }
    }
    while ((length = reader.ReadLine(line)) != 0) {
      taken.read_pieces.emplace_back(line, length);
      taken.bytes.append(line, length);
      if (line[length - 1] == '\n') break;
    }
  }
  return taken;
}

// Bulk taking and piecewise reading give the same bytes as the rules, and every piece that
// holds a marker is handed out by ReadLine, but for whole-line pieces whose one marker is the
// carried one, which may come in bulk with the marker's place.
TEST(TextReader, PlainLinesComeInBulkAndMarkedLinesPieceByPiece) {
  std::mt19937 random(11);
  std::size_t carried_in_all = 0;
  for (int round = 0; round < 80; ++round) {
    const std::string text = RandomText(random, 1 + random() % 60000) + (round % 2 ? "\n" : "");
    const std::size_t read_size = round % 3 != 0 ? 1 + random() % 20000 : 0;
    const bool carrying = round % 4 >= 2;
    const Taken taken = TakeMixed(text, read_size, carrying ? kMarkersCarryingPart : kMarkers);
    std::string model_bytes;
    std::size_t marked = 0;
    std::size_t carriable = 0;
    for (const std::string& piece : model::TextPieces(text)) {
      model_bytes += piece;
      const std::size_t markers = MarkerCount(piece);
      if (markers > 0) ++marked;
      if (markers == 1 && piece.back() == '\n' && piece.find("PART=") != std::string::npos)
        ++carriable;
    }
    EXPECT_EQ(taken.bytes, model_bytes) << "round " << round;
    std::size_t marked_read = 0;
    for (const std::string& piece : taken.read_pieces)
      marked_read += MarkerCount(piece) > 0 ? 1 : 0;
    EXPECT_EQ(marked_read + taken.carried_lines.size(), marked) << "round " << round;
    EXPECT_LE(taken.carried_lines.size(), carriable) << "round " << round;
    if (!carrying) {
      EXPECT_TRUE(taken.carried_lines.empty()) << "round " << round;
    }
    carried_in_all += taken.carried_lines.size();
    for (const std::string& line : taken.carried_lines) {
      EXPECT_LE(line.size(), kLineChars) << "round " << round;
      EXPECT_EQ(MarkerCount(line), 1u) << "round " << round;
    }
  }
  EXPECT_GT(carried_in_all, 0u);
}

// A part line of the usual shape goes in bulk, with the place of its value; one that holds
// a second marker or is longer than a piece does not.
TEST(TextReader, OnlyOnePieceLinesWithTheCarriedMarkerAloneComeInBulk) {
  const std::string filler(200, 'x');  // the bulk scan needs whole blocks behind a line
  const std::string plain = "a 0 sp 0 0 0 10 hlb 100 PART=R1\r\n";
  const std::string twice = "PART=A PART=B\r\n";
  const std::string mixed = "PART=A @setup\r\n";
  const std::string longest = std::string(291, 'y') + "PART=R1\r\n";  // 299 characters decoded
  const std::string too_long = std::string(292, 'y') + "PART=R1\r\n";
  for (const std::string& line : {plain, twice, mixed, longest, too_long}) {
    const Taken taken = TakeMixed(line + filler + "\n", 0, kMarkersCarryingPart);
    EXPECT_EQ(taken.carried_lines.size(), line == plain || line == longest ? 1u : 0u) << line;
  }
  const Taken taken = TakeMixed(plain + filler + "\n", 0, kMarkersCarryingPart);
  ASSERT_EQ(taken.carried_lines.size(), 1u);
  EXPECT_EQ(taken.carried_lines[0], "a 0 sp 0 0 0 10 hlb 100 PART=R1\n");
}

// A buffer full of part lines, some lines apart or next to each other, hands every one out
// in bulk, in order, more of them than one take lists.
TEST(TextReader, EveryPartLineOfABufferComesInBulkInOrder) {
  std::string text;
  Lines expected;
  for (int n = 0; n < 1000; ++n) {
    const std::string line = "PART=P" + std::to_string(n) + "\n";
    text += (n % 3 == 0 ? "plain\r\n" : "") + line.substr(0, line.size() - 1) + "\r\n";
    expected.push_back(line);
  }
  const Taken taken = TakeMixed(text + std::string(200, 'x') + "\n", 0, kMarkersCarryingPart);
  EXPECT_EQ(taken.carried_lines, expected);
  for (const std::string& piece : taken.read_pieces) EXPECT_EQ(MarkerCount(piece), 0u);
}

}  // namespace
}  // namespace kestrune
