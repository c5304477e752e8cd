// Reads a file as text, one line piece at a time.
#include "engine/text_reader.h"

#include <cstring>

namespace kestrune {

void TextReader::Start(Platform& files, FileHandle file) {
  files_ = &files;
  file_ = file;
  begin_ = end_ = 0;
  at_end_ = failed_ = false;
}

// Keeps the unread bytes (a carriage return waiting for its successor) and reads more.
bool TextReader::Refill() {
  if (at_end_) return false;
  const std::size_t kept = end_ - begin_;
  std::memmove(buffer_, buffer_ + begin_, kept);
  begin_ = 0;
  end_ = kept;
  const long got = files_->Read(file_, buffer_ + kept, kBufferBytes - kept);
  if (got <= 0) {
    at_end_ = true;
    failed_ = got < 0;
    return false;
  }
  end_ += static_cast<std::size_t>(got);
  return true;
}

std::size_t TextReader::ReadLine(char* line) {
  std::size_t length = 0;
  while (length < kLineChars) {
    if (begin_ == end_ && !Refill()) break;
    const char c = buffer_[begin_];
    if (c == '\r') {
      if (begin_ + 1 == end_ && !Refill() && begin_ + 1 == end_) {
        // A carriage return that ends the file is data.
      } else if (buffer_[begin_ + 1] == '\n') {
        ++begin_;
        continue;
      }
    }
    line[length++] = c;
    ++begin_;
    if (c == '\n') break;
  }
  line[length] = '\0';
  return failed_ ? 0 : length;
}

}  // namespace kestrune
