// Reads a file as text, one line piece at a time, the way the design tools' files are read.
#pragma once

#include <cstddef>

#include "engine/platform.h"

namespace kestrune {

// One read returns at most kLineChars characters and stops after a line feed.
constexpr std::size_t kLineBytes = 300;
constexpr std::size_t kLineChars = kLineBytes - 1;

// A carriage return directly before a line feed is dropped; every other byte, NUL and
// 0x1A included, is data. Buffers the file in fixed storage of its own.
class TextReader {
 public:
  void Start(Platform& files, FileHandle file);
  // Reads the next piece into line (kLineBytes), zero-terminates it and returns its
  // length; 0 at the end of the file or after a read failure.
  std::size_t ReadLine(char* line);
  bool failed() const { return failed_; }

 private:
  bool Refill();

  static constexpr std::size_t kBufferBytes = 16384;
  Platform* files_ = nullptr;
  FileHandle file_ = kNoFile;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool at_end_ = false;
  bool failed_ = false;
  char buffer_[kBufferBytes];
};

}  // namespace kestrune
