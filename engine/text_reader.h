// Reads a file as text, one line piece at a time, the way the design tools' files are read.
#pragma once

#include <cstddef>

#include "engine/platform.h"

namespace kestrune {

// One read returns at most kLineChars characters and stops after a line feed.
constexpr std::size_t kLineBytes = 300;
constexpr std::size_t kLineChars = kLineBytes - 1;

// Texts that make a line worth a closer look; their first bytes are what a fast scan seeks.
class LineMarkers {
 public:
  static constexpr int kMaxTexts = 8;
  static constexpr int kMaxFirstBytes = 4;
  // texts: at most kMaxTexts non-empty texts with at most kMaxFirstBytes different first
  // bytes, which must outlive the markers.
  LineMarkers(const char* const* texts, int count);
  const char* first_bytes() const { return first_bytes_; }
  int first_byte_count() const { return first_byte_count_; }
  // True when a marker starts at `at`, or may start there but is cut off by end.
  bool MayStartAt(const char* at, const char* end) const;

 private:
  const char* const* texts_;
  int count_;
  std::size_t sizes_[kMaxTexts] = {};
  char first_bytes_[kMaxFirstBytes] = {};
  int first_byte_count_ = 0;
};

// A carriage return directly before a line feed is dropped; every other byte, NUL and
// 0x1A included, is data. Buffers the file in fixed storage of its own.
class TextReader {
 public:
  // The most TakePlainLines writes in one call.
  static constexpr std::size_t kBufferBytes = 16384;

  void Start(Platform& files, FileHandle file);
  // Reads the next piece into line (kLineBytes), zero-terminates it and returns its
  // length; 0 at the end of the file or after a read failure.
  std::size_t ReadLine(char* line);
  // Decodes into out (room for kBufferBytes + kCopySlack) whole lines from the read
  // position on that hold no marker, exactly as ReadLine would return them piece by piece,
  // and returns their length. 0 when the next line is for ReadLine: it holds a marker, it
  // is longer than the buffer, or it comes near the end of the file.
  std::size_t TakePlainLines(char* out, const LineMarkers& markers);
  bool failed() const { return failed_; }

  // Bytes that a copy may write beyond its end, and read beyond the buffered data.
  static constexpr std::size_t kCopySlack = 32;

 private:
  bool Refill();
  std::size_t ScanBlocks(char* out, const LineMarkers& markers, bool* marked);

  Platform* files_ = nullptr;
  FileHandle file_ = kNoFile;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool at_end_ = false;
  bool failed_ = false;
  char buffer_[kBufferBytes + kCopySlack];
};

}  // namespace kestrune
