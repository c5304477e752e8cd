// A platform that reads the real files but changes none: what a run would write stays in memory.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "engine/platform/platform_wrapper.h"

namespace kestrune {

// Reads, queries and INI reads reach the wrapped platform; creating, writing, removing,
// linking and renaming succeed without touching it. A created file gets an identity of its
// own and keeps what is written to it in memory, so that a file a run would have replaced
// reads and answers queries, for the rest of the program, as the run would have left it: a
// later Convert command then finds it at 6.1, and a later name of it the file the run
// visited, as it would after a real run. It allocates, unlike other platforms.
class DryRunPlatform : public PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;

  FileHandle OpenForRead(const char* path) override;
  FileHandle CreateNew(const char* path) override;
  long Read(FileHandle file, char* buffer, std::size_t size) override;
  bool Write(FileHandle file, const char* data, std::size_t size) override;
  bool Sync(FileHandle file) override;
  bool SetMode(FileHandle file, unsigned mode) override;
  bool SetOwner(FileHandle file, const FileInfo& like) override;
  LockOutcome TryLock(FileHandle file) override;
  bool Close(FileHandle file) override;
  bool Remove(const char* path) override;
  bool Link(const char* existing, const char* new_name) override;
  bool RenameReplacing(const char* from, const char* to) override;
  // What a dry run creates is in memory: nothing on the disk for a signal to remove.
  bool PrepareRemoval(FileHandle, const char*, RemovalTicket*) override { return false; }
  bool Query(const char* path, FileInfo* info) override;
  bool QueryOpen(FileHandle file, FileInfo* info) override;

 private:
  using Identity = std::pair<std::uint64_t, std::uint64_t>;
  // A file in memory: one being written under a created name, or one replaced, being read.
  struct MemoryFile {
    std::string name;
    FileInfo info;
    std::string contents;
    std::size_t read_at = 0;
  };

  FileHandle Hold(MemoryFile file);
  MemoryFile* Held(FileHandle file);
  // What a run would have put in the place of the real file that path names; null if nothing.
  const MemoryFile* Replacement(const char* path);

  // Negative and below kNoFile: never a handle of the wrapped platform.
  FileHandle next_handle_ = kNoFile - 1;
  std::uint64_t next_index_ = 0;
  std::map<FileHandle, MemoryFile> open_;
  std::map<std::string, MemoryFile> created_;  // closed created files, by name
  std::map<Identity, MemoryFile> replaced_;    // what would stand in a real file's place
};

}  // namespace kestrune
