// Reads a file as text, one line piece at a time, the way the design tools' files are read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/platform/platform.h"

namespace kestrune {

// One read returns at most kLineChars characters and stops after a line feed.
constexpr std::size_t kLineBytes = 300;
constexpr std::size_t kLineChars = kLineBytes - 1;

// Texts that make a line worth a closer look; their first bytes are what a fast scan seeks.
// One of them may be carried: a line whose only marker is that text, once, still goes
// through the fast scan, which tells where the text stands.
class LineMarkers {
 public:
  static constexpr int kMaxTexts = 8;
  static constexpr int kMaxFirstBytes = 4;
  static constexpr int kNoMarker = -1;
  // texts: at most kMaxTexts texts of two bytes or more with at most kMaxFirstBytes different first
  // bytes, which must outlive the markers; carried: the index of the carried text, or
  // kNoMarker. A text that is the start of another, or starts with one, is not carried.
  LineMarkers(const char* const* texts, int count, int carried = kNoMarker);
  const char* first_bytes() const { return first_bytes_; }
  int first_byte_count() const { return first_byte_count_; }
  // The index of the first text that starts at `at`, or may start there but is cut off by
  // end; kNoMarker when none does.
  int MarkerAt(const char* at, const char* end) const;
  // The carried text's size when MarkerAt(at, end) gave marker and the carried text lies
  // wholly before end; 0 otherwise.
  std::size_t CarriedSize(int marker, const char* at, const char* end) const;

 private:
  const char* const* texts_;
  int carried_ = kNoMarker;
  std::size_t sizes_[kMaxTexts] = {};
  // For each byte, one bit per text that has it first, and per text that has it second.
  std::uint8_t by_first_byte_[256] = {};
  std::uint8_t by_second_byte_[256] = {};
  char first_bytes_[kMaxFirstBytes] = {};
  int first_byte_count_ = 0;
};

// The lines of one bulk take that hold the carried marker, in order: where the text behind
// the marker starts in the decoded lines, and where its line ends. A take stops before a
// line that would not fit.
struct CarriedLines {
  static constexpr int kMaxLines = 64;
  struct Line {
    std::uint16_t value;
    std::uint16_t end;
  };
  Line lines[kMaxLines];
  int count = 0;
};

// A carriage return directly before a line feed is dropped; every other byte, NUL and
// 0x1A included, is data. Buffers the file in fixed storage of its own.
class TextReader {
 public:
  static constexpr std::size_t kBufferBytes = 16384;
  // Bytes that a copy may write beyond its end, and read beyond the buffered data.
  static constexpr std::size_t kCopySlack = 32;
  // The most TakePlainLines writes in one call, slack included.
  static constexpr std::size_t kBulkRoom = kBufferBytes + kCopySlack;

  void Start(Platform& files, FileHandle file);
  // Reads the next piece into line (kLineBytes), zero-terminates it and returns its
  // length; 0 at the end of the file or after a read failure.
  std::size_t ReadLine(char* line);
  // Decodes into out (room for kBulkRoom) whole lines from the read position on that hold
  // no marker, exactly as ReadLine would return them piece by piece, and returns their
  // length. Among them may be lines of one piece holding the carried marker as their only
  // marker: each is listed in carried, in order. 0 when the next line is for ReadLine: it
  // holds another marker, it is longer than the buffer, or it comes near the end of the file.
  std::size_t TakePlainLines(char* out, const LineMarkers& markers, CarriedLines* carried);
  // True when text stands in the first piece ReadLine would return, as far as the first
  // read of the file shows it; that read stays for the calls after. Call right after Start.
  bool FirstPieceHolds(const char* text);
  bool failed() const { return failed_; }

 private:
  bool Refill();
  std::size_t ScanBlocks(char* out, const LineMarkers& markers, CarriedLines* carried,
                         bool* marked);

  Platform* files_ = nullptr;
  FileHandle file_ = kNoFile;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool at_end_ = false;
  bool failed_ = false;
  // A copy may read kCopySlack bytes beyond the buffered data.
  char buffer_[kBufferBytes + kCopySlack];
};

}  // namespace kestrune
