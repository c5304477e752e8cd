// A platform that keeps files in memory, for tests and fuzzers; reads can be made to fail on
// demand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/platform.h"

namespace kestrune {

// Files are found by their exact path text; there are no directories or symbolic links.
// A name made by Link shares its file with the first name, as a hard link does.
class MemoryPlatform : public Platform {
 public:
  void AddFile(const std::string& path, std::string contents);
  // Gives the file under path new contents in place: the same file, changed now.
  void RewriteFile(const std::string& path, std::string contents);
  // Every read hands out at most this many bytes (0: as many as asked for).
  void LimitReadSize(std::size_t bytes);
  // The read call with this number (the first is 1) and every later one fail.
  void FailReadsFrom(int call);

  bool HasFile(const std::string& path) const { return files_.count(path) == 1; }
  // The contents under path; empty when there is no such file.
  std::string Contents(const std::string& path) const;
  // Every path that names a file, in sorted order.
  std::vector<std::string> Paths() const;

  const std::vector<std::string>& opened_paths() const { return opened_paths_; }
  int open_files() const { return static_cast<int>(open_.size()); }
  int read_calls() const { return read_calls_; }

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
  bool PrepareRemoval(FileHandle file, const char* path, RemovalTicket* ticket) override;
  // Unlike the real platforms' RemoveNow, not for signal handlers: tests call it in place of one.
  void RemoveNow(const RemovalTicket& ticket) override;
  bool Query(const char* path, FileInfo* info) override;
  bool QueryOpen(FileHandle file, FileInfo* info) override;
  // Every change gives a file a later time of the platform's own clock of changes.
  bool TimesSettled(const FileInfo& info) override;
  bool RealName(const char* path, char* out, std::size_t capacity) override;
  void ReadIniString(const char* section, const char* key, const char* fallback, char* out,
                     std::size_t capacity, const char* ini_path) override;
  bool IniFileReadable(const char* ini_path) override;

 private:
  struct StoredFile {
    std::string contents;
    std::uint64_t index;
    unsigned mode;
    std::uint32_t owner;
    std::uint32_t group;
    bool locked;
    std::uint64_t modified;  // the clock of changes when it last changed
  };
  struct OpenFile {
    std::shared_ptr<StoredFile> file;
    std::size_t position;
    bool writable;
    bool holds_lock;
  };

  static FileInfo Describe(const StoredFile& file);
  FileHandle Open(const std::shared_ptr<StoredFile>& file, bool writable);
  OpenFile* Find(FileHandle file, bool writable);

  std::map<std::string, std::shared_ptr<StoredFile>> files_;
  std::map<FileHandle, OpenFile> open_;
  std::vector<std::string> opened_paths_;
  FileHandle next_handle_ = 1;
  std::uint64_t next_index_ = 1;
  std::uint64_t changes_ = 1;
  std::size_t read_limit_ = 0;
  int fail_reads_from_ = 0;
  int read_calls_ = 0;
};

}  // namespace kestrune
