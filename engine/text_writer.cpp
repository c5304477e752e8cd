// Writes a file byte for byte through a fixed buffer.
#include "engine/text_writer.h"

#include <cstring>

namespace kestrune {

void TextWriter::UseBuffer(char* storage, std::size_t size) {
  buffer_ = storage;
  capacity_ = size;
}

void TextWriter::Start(Platform& files, FileHandle file) {
  files_ = &files;
  file_ = file;
  used_ = 0;
  failed_ = false;
}

void TextWriter::Drain() {
  if (used_ > 0 && !failed_) failed_ = !files_->Write(file_, buffer_, used_);
  used_ = 0;
}

void TextWriter::Write(const char* data, std::size_t size) {
  if (failed_) return;
  if (used_ + size > capacity_) Drain();
  if (size >= capacity_) {
    failed_ = failed_ || !files_->Write(file_, data, size);
    return;
  }
  std::memcpy(buffer_ + used_, data, size);
  used_ += size;
}

char* TextWriter::Reserve(std::size_t size) {
  if (used_ + size > capacity_) Drain();
  return buffer_ + used_;
}

void TextWriter::Commit(std::size_t size) {
  if (!failed_) used_ += size;
}

bool TextWriter::Finish() {
  Drain();
  return !failed_;
}

}  // namespace kestrune
