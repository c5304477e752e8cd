// Claims a temporary name beside a file and creates its locked temporary file there.
#include "engine/temporary_file.h"

#include "engine/file_names.h"
#include "engine/text_util.h"

namespace kestrune {
namespace {

constexpr int kTemporaryAttempts = 10;

enum class NameState { kFree, kHeld, kFailed };

// What stands under a temporary name: nothing, a file some conversion holds (of this run, or
// of another run, which locks it), or a leftover of a stopped run. A leftover is removed only
// once this run could take its lock, so that no live run's file is taken for one.
NameState ClaimTemporaryName(Platform& files, const OpenFiles& open, const FileInfo& kept,
                             const char* name) {
  FileInfo existing;
  if (!files.Query(name, &existing)) return NameState::kFailed;
  if (existing.kind == FileKind::kMissing) return NameState::kFree;
  if (open.HeldOpen(existing) || SameFile(existing, kept) || existing.kind != FileKind::kRegular) {
    return NameState::kHeld;
  }
  const FileHandle leftover = files.OpenForRead(name);
  if (leftover == kNoFile) return NameState::kHeld;
  const LockOutcome locked = files.TryLock(leftover);
  if (locked != LockOutcome::kLocked) {
    files.Close(leftover);
    return locked == LockOutcome::kHeldElsewhere ? NameState::kHeld : NameState::kFailed;
  }
  // Windows removes no file that is open here; a run that takes the name in between is
  // caught by the check of the temporary file's identity before it is renamed.
  files.Close(leftover);
  return files.Remove(name) ? NameState::kFree : NameState::kFailed;
}

}  // namespace

FileHandle CreateTemporaryFile(Platform& files, const OpenFiles& open, const char* first,
                               char* name, const FileInfo& kept) {
  for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
    if (attempt == 0 ? !CopyText(name, kPathBytes, first)
                     : !AlternativeTemporaryName(first, attempt, name)) {
      return kNoFile;
    }
    const NameState claimed = ClaimTemporaryName(files, open, kept, name);
    if (claimed == NameState::kFailed) return kNoFile;
    if (claimed == NameState::kHeld) continue;
    // As late as can be: a stop asked for after this still finds the file, locked, and
    // removes it at the conversion's next step.
    if (open.StopRequested()) return kNoFile;
    const FileHandle created = files.CreateNew(name);
    if (created == kNoFile) return kNoFile;
    // Another run that found the new file before it was locked took it for a leftover and
    // removes it: the name is that run's now.
    const LockOutcome locked = files.TryLock(created);
    if (locked == LockOutcome::kLocked) return created;
    files.Close(created);
    if (locked != LockOutcome::kHeldElsewhere) {
      files.Remove(name);
      return kNoFile;
    }
  }
  return kNoFile;
}

}  // namespace kestrune
