// The in-memory test platform: reads come from strings, writes are refused.
#include "tests/support/memory_platform.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/ini_reader.h"

namespace kestrune {

void MemoryPlatform::AddFile(const std::string& path, std::string contents) {
  files_[path] = std::move(contents);
}

void MemoryPlatform::LimitReadSize(std::size_t bytes) { read_limit_ = bytes; }

void MemoryPlatform::FailReadsFrom(int call) { fail_reads_from_ = call; }

FileHandle MemoryPlatform::OpenForRead(const char* path) {
  opened_paths_.emplace_back(path);
  const auto found = files_.find(path);
  if (found == files_.end()) return kNoFile;
  const FileHandle handle = next_handle_++;
  open_[handle] = OpenFile{&found->second, 0};
  return handle;
}

long MemoryPlatform::Read(FileHandle file, char* buffer, std::size_t size) {
  ++read_calls_;
  const auto found = open_.find(file);
  if (found == open_.end()) return -1;
  if (fail_reads_from_ > 0 && read_calls_ >= fail_reads_from_) return -1;
  OpenFile& open = found->second;
  std::size_t count = std::min(size, open.contents->size() - open.position);
  if (read_limit_ > 0) count = std::min(count, read_limit_);
  std::memcpy(buffer, open.contents->data() + open.position, count);
  open.position += count;
  return static_cast<long>(count);
}

bool MemoryPlatform::Close(FileHandle file) { return open_.erase(file) == 1; }

void MemoryPlatform::ReadIniString(const char* section, const char* key, const char* fallback,
                                   char* out, std::size_t capacity, const char* ini_path) {
  ReadIniFile(*this, section, key, fallback, out, capacity, ini_path);
}

FileHandle MemoryPlatform::CreateNew(const char*) { return kNoFile; }
bool MemoryPlatform::Write(FileHandle, const char*, std::size_t) { return false; }
bool MemoryPlatform::Sync(FileHandle) { return false; }
bool MemoryPlatform::SetMode(FileHandle, unsigned) { return false; }
bool MemoryPlatform::Remove(const char*) { return false; }
bool MemoryPlatform::Link(const char*, const char*) { return false; }
bool MemoryPlatform::RenameReplacing(const char*, const char*) { return false; }
bool MemoryPlatform::Query(const char*, FileInfo*) { return false; }
bool MemoryPlatform::QueryOpen(FileHandle, FileInfo*) { return false; }
bool MemoryPlatform::ResolveLink(const char*, char*, std::size_t) { return false; }

}  // namespace kestrune
