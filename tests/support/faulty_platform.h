// Test helper: wraps a platform and makes chosen calls fail, counting every call it sees.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/platform/platform_wrapper.h"

namespace kestrune::test {

enum class Call {
  kOpenForRead,
  kCreateNew,
  kRead,
  kWrite,
  kSync,
  kSetMode,
  kSetOwner,
  kTryLock,
  kClose,
  kRemove,
  kLink,
  kRenameReplacing,
  kQuery,
  kQueryOpen,
  kRealName
};

const char* CallName(Call call);

// One failure that the wrapper injected: which call it was and the path it named, if any.
struct InjectedFailure {
  int number;
  Call call;
  std::string path;
};

// Every call is numbered from 1 in the order it arrives; the calls whose numbers are in
// the failure set fail as the real platform's would: errno is set to what the system
// reports for such a failure, a failed write may have written part of its data, and a
// failed Close still closes.
class FaultyPlatform : public PlatformWrapper {
 public:
  explicit FaultyPlatform(Platform& base) : PlatformWrapper(base) {}

  void FailCalls(std::set<int> numbers) { failing_ = std::move(numbers); }
  // Fails every call of one kind from now on.
  void FailEvery(Call call) { failing_kinds_.insert(call); }
  // Runs before every call with its number and kind (to stop a process at a chosen call).
  void BeforeEachCall(std::function<void(int, Call)> hook) { hook_ = std::move(hook); }
  int calls() const { return count_; }
  // The kinds of the calls seen, in order.
  const std::vector<Call>& log() const { return log_; }
  // How many injected failures happened.
  int failures() const { return static_cast<int>(injected_.size()); }
  const std::vector<InjectedFailure>& injected() const { return injected_; }

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
  void ReadIniString(const char* section, const char* key, const char* fallback, char* out,
                     std::size_t capacity, const char* ini_path) override;
  bool IniFileReadable(const char* ini_path) override;

 private:
  // Counts the call; true when it is to fail (errno is set then).
  bool Fails(Call call, const char* path = nullptr);

  std::set<int> failing_;
  std::set<Call> failing_kinds_;
  std::function<void(int, Call)> hook_;
  std::vector<Call> log_;
  std::vector<InjectedFailure> injected_;
  int count_ = 0;
};

}  // namespace kestrune::test
