// Test helper: a platform shared by the workers of a batch that lets a test hold any call of any
// worker.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/platform/platform_wrapper.h"
#include "tests/support/faulty_platform.h"

namespace kestrune::test {

// Numbers the calls of each worker thread from 1. Workers are numbered from 0 in the order of
// their first call; the thread that makes the wrapper (which only looks the files up before
// the workers start) is no worker. Before each call of a worker, the hook runs on its thread
// with the worker, the call's number and kind and the path it names (empty if none), and may
// hold the call there.
class WorkerCalls : public PlatformWrapper {
 public:
  using Hook = std::function<void(int worker, int number, Call kind, const char* path)>;
  WorkerCalls(Platform& base, Hook hook);

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
  bool Query(const char* path, FileInfo* info) override;
  bool QueryOpen(FileHandle file, FileInfo* info) override;
  bool RealName(const char* path, char* out, std::size_t capacity) override;

 private:
  void Before(Call kind, const char* path = "");

  Hook hook_;
  const std::thread::id maker_ = std::this_thread::get_id();
  std::mutex mutex_;
  std::map<std::thread::id, int> workers_;
  std::vector<int> calls_;  // made so far, by worker
};

}  // namespace kestrune::test
