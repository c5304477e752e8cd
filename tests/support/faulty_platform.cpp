// Test helper: wraps a platform and makes chosen calls fail.
#include "tests/support/faulty_platform.h"

#include <cerrno>

#include "engine/platform/ini_reader.h"

namespace kestrune::test {
namespace {

// What the system reports for a failure of each kind of call.
int SystemError(Call call) {
  switch (call) {
    case Call::kOpenForRead: return EACCES;
    case Call::kCreateNew: return EEXIST;
    case Call::kWrite: return ENOSPC;
    case Call::kSync: return EIO;
    case Call::kRemove: return EBUSY;
    case Call::kLink: return EPERM;
    case Call::kRenameReplacing: return EXDEV;
    case Call::kSetMode: return EPERM;
    case Call::kSetOwner: return EIO;
    case Call::kTryLock: return ENOLCK;
    case Call::kQuery:
    case Call::kRealName: return ELOOP;
    case Call::kRead:
    case Call::kClose:
    case Call::kQueryOpen: return EIO;
  }
  return EIO;
}

}  // namespace

const char* CallName(Call call) {
  switch (call) {
    case Call::kOpenForRead: return "OpenForRead";
    case Call::kCreateNew: return "CreateNew";
    case Call::kRead: return "Read";
    case Call::kWrite: return "Write";
    case Call::kSync: return "Sync";
    case Call::kSetMode: return "SetMode";
    case Call::kSetOwner: return "SetOwner";
    case Call::kTryLock: return "TryLock";
    case Call::kClose: return "Close";
    case Call::kRemove: return "Remove";
    case Call::kLink: return "Link";
    case Call::kRenameReplacing: return "RenameReplacing";
    case Call::kQuery: return "Query";
    case Call::kQueryOpen: return "QueryOpen";
    case Call::kRealName: return "RealName";
  }
  return "?";
}

bool FaultyPlatform::Fails(Call call, const char* path) {
  ++count_;
  log_.push_back(call);
  if (hook_) hook_(count_, call);
  const bool fails = failing_.count(count_) != 0 || failing_kinds_.count(call) != 0;
  if (fails) {
    injected_.push_back({count_, call, path != nullptr ? path : ""});
    errno = SystemError(call);
  }
  return fails;
}

FileHandle FaultyPlatform::OpenForRead(const char* path) {
  return Fails(Call::kOpenForRead, path) ? kNoFile : target().OpenForRead(path);
}

FileHandle FaultyPlatform::CreateNew(const char* path) {
  return Fails(Call::kCreateNew, path) ? kNoFile : target().CreateNew(path);
}

long FaultyPlatform::Read(FileHandle file, char* buffer, std::size_t size) {
  return Fails(Call::kRead) ? -1 : target().Read(file, buffer, size);
}

bool FaultyPlatform::Write(FileHandle file, const char* data, std::size_t size) {
  // A failing write may still have written part of the data, as a full disk does.
  if (Fails(Call::kWrite)) {
    if (size > 1) target().Write(file, data, size / 2);
    errno = SystemError(Call::kWrite);
    return false;
  }
  return target().Write(file, data, size);
}

bool FaultyPlatform::Sync(FileHandle file) { return !Fails(Call::kSync) && target().Sync(file); }

bool FaultyPlatform::SetMode(FileHandle file, unsigned mode) {
  return !Fails(Call::kSetMode) && target().SetMode(file, mode);
}

bool FaultyPlatform::SetOwner(FileHandle file, const FileInfo& like) {
  return !Fails(Call::kSetOwner) && target().SetOwner(file, like);
}

// A lock that cannot be taken, not one that another run holds: that comes of real runs.
LockOutcome FaultyPlatform::TryLock(FileHandle file) {
  return Fails(Call::kTryLock) ? LockOutcome::kFailed : target().TryLock(file);
}

bool FaultyPlatform::Close(FileHandle file) {
  const bool fails = Fails(Call::kClose);
  const bool closed = target().Close(file);
  if (fails) errno = SystemError(Call::kClose);
  return closed && !fails;
}

bool FaultyPlatform::Remove(const char* path) {
  return !Fails(Call::kRemove, path) && target().Remove(path);
}

bool FaultyPlatform::Link(const char* existing, const char* new_name) {
  return !Fails(Call::kLink, new_name) && target().Link(existing, new_name);
}

bool FaultyPlatform::RenameReplacing(const char* from, const char* to) {
  return !Fails(Call::kRenameReplacing, to) && target().RenameReplacing(from, to);
}

bool FaultyPlatform::Query(const char* path, FileInfo* info) {
  return !Fails(Call::kQuery, path) && target().Query(path, info);
}

bool FaultyPlatform::QueryOpen(FileHandle file, FileInfo* info) {
  return !Fails(Call::kQueryOpen) && target().QueryOpen(file, info);
}

bool FaultyPlatform::RealName(const char* path, char* out, std::size_t capacity) {
  return !Fails(Call::kRealName, path) && target().RealName(path, out, capacity);
}

// The INI file is read through this platform's own calls, so that they are counted and can
// fail like every other read.
void FaultyPlatform::ReadIniString(const char* section, const char* key, const char* fallback,
                                   char* out, std::size_t capacity, const char* ini_path) {
  ReadIniFile(*this, section, key, fallback, out, capacity, ini_path);
}

bool FaultyPlatform::IniFileReadable(const char* ini_path) { return IniFileOpens(*this, ini_path); }

}  // namespace kestrune::test
