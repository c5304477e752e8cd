// A platform that forwards every call to another one: the base of platforms that change a few
// calls.
#pragma once

#include "engine/platform/platform.h"

namespace kestrune {

// Derive from this and override only the calls to change (to fail, count or stall them);
// every other call reaches the wrapped platform unchanged.
class PlatformWrapper : public Platform {
 public:
  explicit PlatformWrapper(Platform& target) : target_(target) {}

  Platform& target() const { return target_; }

  FileHandle OpenForRead(const char* path) override { return target_.OpenForRead(path); }
  FileHandle CreateNew(const char* path) override { return target_.CreateNew(path); }
  long Read(FileHandle file, char* buffer, std::size_t size) override {
    return target_.Read(file, buffer, size);
  }
  bool Write(FileHandle file, const char* data, std::size_t size) override {
    return target_.Write(file, data, size);
  }
  bool Sync(FileHandle file) override { return target_.Sync(file); }
  bool SetMode(FileHandle file, unsigned mode) override { return target_.SetMode(file, mode); }
  bool SetOwner(FileHandle file, const FileInfo& like) override {
    return target_.SetOwner(file, like);
  }
  LockOutcome TryLock(FileHandle file) override { return target_.TryLock(file); }
  bool Close(FileHandle file) override { return target_.Close(file); }
  bool Remove(const char* path) override { return target_.Remove(path); }
  bool Link(const char* existing, const char* new_name) override {
    return target_.Link(existing, new_name);
  }
  bool RenameReplacing(const char* from, const char* to) override {
    return target_.RenameReplacing(from, to);
  }
  bool PrepareRemoval(FileHandle file, const char* path, RemovalTicket* ticket) override {
    return target_.PrepareRemoval(file, path, ticket);
  }
  void RemoveNow(const RemovalTicket& ticket) override { target_.RemoveNow(ticket); }
  bool Query(const char* path, FileInfo* info) override { return target_.Query(path, info); }
  bool QueryOpen(FileHandle file, FileInfo* info) override { return target_.QueryOpen(file, info); }
  bool TimesSettled(const FileInfo& info) override { return target_.TimesSettled(info); }
  bool RealName(const char* path, char* out, std::size_t capacity) override {
    return target_.RealName(path, out, capacity);
  }
  void ReadIniString(const char* section, const char* key, const char* fallback, char* out,
                     std::size_t capacity, const char* ini_path) override {
    target_.ReadIniString(section, key, fallback, out, capacity, ini_path);
  }
  bool IniFileReadable(const char* ini_path) override { return target_.IniFileReadable(ini_path); }
  bool TakeFailureReason(char* out, std::size_t capacity) override {
    return target_.TakeFailureReason(out, capacity);
  }

 private:
  Platform& target_;
};

}  // namespace kestrune
