// Test helper: a platform shared by the workers of a batch that lets a test hold any call.
#include "tests/reliability/worker_calls.h"

#include <utility>

namespace kestrune::test {

WorkerCalls::WorkerCalls(Platform& base, Hook hook)
    : PlatformWrapper(base), hook_(std::move(hook)) {}

void WorkerCalls::Before(Call kind, const char* path) {
  int worker;
  int number;
  {
    const std::lock_guard<std::mutex> hold(mutex_);
    const std::thread::id thread = std::this_thread::get_id();
    if (thread == maker_) return;
    worker = workers_.emplace(thread, static_cast<int>(workers_.size())).first->second;
    if (calls_.size() <= static_cast<std::size_t>(worker)) calls_.resize(worker + 1, 0);
    number = ++calls_[worker];
  }
  hook_(worker, number, kind, path);
}

FileHandle WorkerCalls::OpenForRead(const char* path) {
  Before(Call::kOpenForRead, path);
  return target().OpenForRead(path);
}

FileHandle WorkerCalls::CreateNew(const char* path) {
  Before(Call::kCreateNew, path);
  return target().CreateNew(path);
}

long WorkerCalls::Read(FileHandle file, char* buffer, std::size_t size) {
  Before(Call::kRead);
  return target().Read(file, buffer, size);
}

bool WorkerCalls::Write(FileHandle file, const char* data, std::size_t size) {
  Before(Call::kWrite);
  return target().Write(file, data, size);
}

bool WorkerCalls::Sync(FileHandle file) {
  Before(Call::kSync);
  return target().Sync(file);
}

bool WorkerCalls::SetMode(FileHandle file, unsigned mode) {
  Before(Call::kSetMode);
  return target().SetMode(file, mode);
}

bool WorkerCalls::SetOwner(FileHandle file, const FileInfo& like) {
  Before(Call::kSetOwner);
  return target().SetOwner(file, like);
}

LockOutcome WorkerCalls::TryLock(FileHandle file) {
  Before(Call::kTryLock);
  return target().TryLock(file);
}

bool WorkerCalls::Close(FileHandle file) {
  Before(Call::kClose);
  return target().Close(file);
}

bool WorkerCalls::Remove(const char* path) {
  Before(Call::kRemove, path);
  return target().Remove(path);
}

bool WorkerCalls::Link(const char* existing, const char* new_name) {
  Before(Call::kLink, new_name);
  return target().Link(existing, new_name);
}

bool WorkerCalls::RenameReplacing(const char* from, const char* to) {
  Before(Call::kRenameReplacing, to);
  return target().RenameReplacing(from, to);
}

bool WorkerCalls::Query(const char* path, FileInfo* info) {
  Before(Call::kQuery, path);
  return target().Query(path, info);
}

bool WorkerCalls::QueryOpen(FileHandle file, FileInfo* info) {
  Before(Call::kQueryOpen);
  return target().QueryOpen(file, info);
}

bool WorkerCalls::RealName(const char* path, char* out, std::size_t capacity) {
  Before(Call::kRealName, path);
  return target().RealName(path, out, capacity);
}

}  // namespace kestrune::test
