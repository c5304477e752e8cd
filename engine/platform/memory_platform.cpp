// The in-memory test platform: files are strings shared between their names and open handles.
#include "engine/platform/memory_platform.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/platform/ini_reader.h"
#include "engine/text_util.h"

namespace kestrune {
namespace {

constexpr unsigned kNewFileMode = 0644;
constexpr std::uint64_t kDevice = 1;

}  // namespace

FileInfo MemoryPlatform::Describe(const StoredFile& file) {
  FileInfo info;
  info.kind = FileKind::kRegular;
  info.device = kDevice;
  info.index = file.index;
  info.mode = file.mode;
  info.owner = file.owner;
  info.group = file.group;
  info.size = file.contents.size();
  info.modified = file.modified;
  return info;
}

void MemoryPlatform::AddFile(const std::string& path, std::string contents) {
  files_[path] = std::make_shared<StoredFile>(
      StoredFile{std::move(contents), next_index_++, kNewFileMode, 0, 0, false, changes_++});
}

void MemoryPlatform::RewriteFile(const std::string& path, std::string contents) {
  StoredFile& file = *files_.at(path);
  file.contents = std::move(contents);
  file.modified = changes_++;
}

void MemoryPlatform::LimitReadSize(std::size_t bytes) { read_limit_ = bytes; }

void MemoryPlatform::FailReadsFrom(int call) { fail_reads_from_ = call; }

std::string MemoryPlatform::Contents(const std::string& path) const {
  const auto found = files_.find(path);
  return found != files_.end() ? found->second->contents : std::string();
}

std::vector<std::string> MemoryPlatform::Paths() const {
  std::vector<std::string> paths;
  for (const auto& entry : files_) paths.push_back(entry.first);
  return paths;
}

FileHandle MemoryPlatform::Open(const std::shared_ptr<StoredFile>& file, bool writable) {
  const FileHandle handle = next_handle_++;
  open_[handle] = OpenFile{file, 0, writable, false};
  return handle;
}

MemoryPlatform::OpenFile* MemoryPlatform::Find(FileHandle file, bool writable) {
  const auto found = open_.find(file);
  if (found == open_.end() || (writable && !found->second.writable)) return nullptr;
  return &found->second;
}

FileHandle MemoryPlatform::OpenForRead(const char* path) {
  opened_paths_.emplace_back(path);
  const auto found = files_.find(path);
  return found != files_.end() ? Open(found->second, false) : kNoFile;
}

FileHandle MemoryPlatform::CreateNew(const char* path) {
  if (HasFile(path)) return kNoFile;
  AddFile(path, std::string());
  return Open(files_[path], true);
}

long MemoryPlatform::Read(FileHandle file, char* buffer, std::size_t size) {
  ++read_calls_;
  OpenFile* open = Find(file, false);
  if (open == nullptr) return -1;
  if (fail_reads_from_ > 0 && read_calls_ >= fail_reads_from_) return -1;
  const std::string& contents = open->file->contents;
  std::size_t count = std::min(size, contents.size() - std::min(open->position, contents.size()));
  if (read_limit_ > 0) count = std::min(count, read_limit_);
  std::memcpy(buffer, contents.data() + open->position, count);
  open->position += count;
  return static_cast<long>(count);
}

bool MemoryPlatform::Write(FileHandle file, const char* data, std::size_t size) {
  OpenFile* open = Find(file, true);
  if (open == nullptr) return false;
  open->file->contents.append(data, size);
  open->file->modified = changes_++;
  return true;
}

bool MemoryPlatform::Sync(FileHandle file) { return Find(file, true) != nullptr; }

bool MemoryPlatform::SetMode(FileHandle file, unsigned mode) {
  OpenFile* open = Find(file, false);
  if (open == nullptr) return false;
  open->file->mode = mode & 07777;
  return true;
}

bool MemoryPlatform::SetOwner(FileHandle file, const FileInfo& like) {
  OpenFile* open = Find(file, false);
  if (open == nullptr) return false;
  open->file->owner = like.owner;
  open->file->group = like.group;
  return true;
}

LockOutcome MemoryPlatform::TryLock(FileHandle file) {
  OpenFile* open = Find(file, false);
  if (open == nullptr) return LockOutcome::kFailed;
  if (open->file->locked && !open->holds_lock) return LockOutcome::kHeldElsewhere;
  open->file->locked = open->holds_lock = true;
  return LockOutcome::kLocked;
}

bool MemoryPlatform::Close(FileHandle file) {
  OpenFile* open = Find(file, false);
  if (open == nullptr) return false;
  if (open->holds_lock) open->file->locked = false;
  open_.erase(file);
  return true;
}

bool MemoryPlatform::Remove(const char* path) {
  files_.erase(path);
  return true;
}

bool MemoryPlatform::Link(const char* existing, const char* new_name) {
  const auto found = files_.find(existing);
  if (found == files_.end() || HasFile(new_name)) return false;
  files_[new_name] = found->second;
  return true;
}

bool MemoryPlatform::RenameReplacing(const char* from, const char* to) {
  const auto found = files_.find(from);
  if (found == files_.end()) return false;
  std::shared_ptr<StoredFile> file = found->second;
  files_.erase(found);
  files_[to] = std::move(file);
  return true;
}

bool MemoryPlatform::PrepareRemoval(FileHandle file, const char* path, RemovalTicket* ticket) {
  ticket->file = file;
  return HasFile(path) && CopyText(ticket->native_name, sizeof ticket->native_name, path);
}

void MemoryPlatform::RemoveNow(const RemovalTicket& ticket) { files_.erase(ticket.native_name); }

bool MemoryPlatform::Query(const char* path, FileInfo* info) {
  *info = FileInfo{};
  const auto found = files_.find(path);
  if (found == files_.end()) return true;
  *info = Describe(*found->second);
  return true;
}

bool MemoryPlatform::TimesSettled(const FileInfo& /*info*/) { return true; }

bool MemoryPlatform::QueryOpen(FileHandle file, FileInfo* info) {
  const OpenFile* open = Find(file, false);
  if (open == nullptr) return false;
  *info = Describe(*open->file);
  return true;
}

// Nothing here is a symbolic link, and names are exact: each name is its own real name.
bool MemoryPlatform::RealName(const char* path, char* out, std::size_t capacity) {
  return CopyText(out, capacity, path);
}

void MemoryPlatform::ReadIniString(const char* section, const char* key, const char* fallback,
                                   char* out, std::size_t capacity, const char* ini_path) {
  ReadIniFile(*this, section, key, fallback, out, capacity, ini_path);
}

bool MemoryPlatform::IniFileReadable(const char* ini_path) { return IniFileOpens(*this, ini_path); }

}  // namespace kestrune
