// Writes a file byte for byte through a fixed buffer, remembering any failure.
#pragma once

#include <cstddef>

#include "engine/platform/platform.h"

namespace kestrune {

class TextWriter {
 public:
  TextWriter() = default;
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  // Buffers through storage (size bytes) instead of its own buffer; call before Start.
  void UseBuffer(char* storage, std::size_t size);
  void Start(Platform& files, FileHandle file);
  // Queues size bytes; after a failure further writes are dropped.
  void Write(const char* data, std::size_t size);
  // Room for size bytes (at most the buffer's size) behind the queued ones, to be queued
  // with Commit. After a failure the room is still there and Commit drops what is in it.
  char* Reserve(std::size_t size);
  void Commit(std::size_t size);
  // Writes out what is queued; false when any write failed.
  bool Finish();
  bool failed() const { return failed_; }

 private:
  void Drain();

  static constexpr std::size_t kBufferBytes = 32768;
  Platform* files_ = nullptr;
  FileHandle file_ = kNoFile;
  std::size_t used_ = 0;
  bool failed_ = false;
  char own_buffer_[kBufferBytes];
  char* buffer_ = own_buffer_;
  std::size_t capacity_ = kBufferBytes;
};

}  // namespace kestrune
