// A platform that reads the real files but changes none.
#include "engine/platform/dry_run_platform.h"

#include <algorithm>
#include <cstring>

namespace kestrune {
namespace {

// Created files live on a device no real file system reports.
constexpr std::uint64_t kMemoryDevice = ~std::uint64_t{0};

}  // namespace

FileHandle DryRunPlatform::Hold(MemoryFile file) {
  const FileHandle handle = next_handle_--;
  open_.emplace(handle, std::move(file));
  return handle;
}

DryRunPlatform::MemoryFile* DryRunPlatform::Held(FileHandle file) {
  const auto found = open_.find(file);
  return found == open_.end() ? nullptr : &found->second;
}

const DryRunPlatform::MemoryFile* DryRunPlatform::Replacement(const char* path) {
  FileInfo info;
  if (!target().Query(path, &info) || info.kind != FileKind::kRegular) return nullptr;
  const auto replaced = replaced_.find({info.device, info.index});
  return replaced == replaced_.end() ? nullptr : &replaced->second;
}

FileHandle DryRunPlatform::OpenForRead(const char* path) {
  if (const MemoryFile* replacement = Replacement(path)) {
    return Hold({path, replacement->info, replacement->contents});
  }
  return target().OpenForRead(path);
}

FileHandle DryRunPlatform::CreateNew(const char* path) {
  FileInfo info;
  info.kind = FileKind::kRegular;
  info.device = kMemoryDevice;
  info.index = next_index_++;
  return Hold({path, info, {}});
}

long DryRunPlatform::Read(FileHandle file, char* buffer, std::size_t size) {
  MemoryFile* held = Held(file);
  if (held == nullptr) return target().Read(file, buffer, size);
  const std::size_t count = std::min(size, held->contents.size() - held->read_at);
  std::memcpy(buffer, held->contents.data() + held->read_at, count);
  held->read_at += count;
  return static_cast<long>(count);
}

bool DryRunPlatform::Write(FileHandle file, const char* data, std::size_t size) {
  MemoryFile* held = Held(file);
  if (held == nullptr) return target().Write(file, data, size);
  held->contents.append(data, size);
  return true;
}

bool DryRunPlatform::Sync(FileHandle file) { return Held(file) != nullptr || target().Sync(file); }

bool DryRunPlatform::SetMode(FileHandle file, unsigned mode) {
  MemoryFile* held = Held(file);
  if (held == nullptr) return target().SetMode(file, mode);
  held->info.mode = mode;
  return true;
}

bool DryRunPlatform::SetOwner(FileHandle file, const FileInfo& like) {
  MemoryFile* held = Held(file);
  if (held == nullptr) return target().SetOwner(file, like);
  held->info.owner = like.owner;
  held->info.group = like.group;
  return true;
}

// A file in memory is this program's alone; a real input is locked for real, so that a dry
// run beside a real one sees what the real one would.
LockOutcome DryRunPlatform::TryLock(FileHandle file) {
  return Held(file) != nullptr ? LockOutcome::kLocked : target().TryLock(file);
}

bool DryRunPlatform::Close(FileHandle file) {
  const auto found = open_.find(file);
  if (found == open_.end()) return target().Close(file);
  if (found->second.info.device == kMemoryDevice) {
    created_[found->second.name] = std::move(found->second);
  }
  open_.erase(found);
  return true;
}

bool DryRunPlatform::Remove(const char* path) {
  created_.erase(path);
  return true;
}

// The new name answers for the existing file from now on, as a second name of it would: a
// later file of the run that finds its backup name taken finds it so here too.
bool DryRunPlatform::Link(const char* existing, const char* new_name) {
  FileInfo info;
  if (!Query(existing, &info) || info.kind == FileKind::kMissing) return false;
  info.is_link = false;
  created_[new_name] = MemoryFile{new_name, info, {}};
  return true;
}

bool DryRunPlatform::RenameReplacing(const char* from, const char* to) {
  const auto created = created_.find(from);
  FileInfo info;
  if (created != created_.end() && target().Query(to, &info) && info.kind == FileKind::kRegular) {
    replaced_[{info.device, info.index}] = std::move(created->second);
  }
  if (created != created_.end()) created_.erase(created);
  return true;
}

// A created file is found under its name until it is removed or renamed, as on a disk.
bool DryRunPlatform::Query(const char* path, FileInfo* info) {
  const auto created = created_.find(path);
  if (created != created_.end()) {
    *info = created->second.info;
    return true;
  }
  if (!target().Query(path, info)) return false;
  const auto replaced = replaced_.find({info->device, info->index});
  if (info->kind == FileKind::kRegular && replaced != replaced_.end()) {
    const bool is_link = info->is_link;
    *info = replaced->second.info;
    info->is_link = is_link;
  }
  return true;
}

bool DryRunPlatform::QueryOpen(FileHandle file, FileInfo* info) {
  MemoryFile* held = Held(file);
  if (held == nullptr) return target().QueryOpen(file, info);
  *info = held->info;
  return true;
}

}  // namespace kestrune
