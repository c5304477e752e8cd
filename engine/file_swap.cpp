// Puts a finished temporary file in the place of its input.
#include "engine/file_swap.h"

#include "engine/file_names.h"
#include "engine/open_files.h"
#include "engine/temporary_file.h"

namespace kestrune {
namespace {

// Moves the file this run wrote under from to the name to. Checked right before the rename:
// another run may have taken the name from in the moment after this one closed, and so
// unlocked, its file.
SwapOutcome RenameOwnFile(Platform& files, const char* from, const FileInfo& written,
                          const char* to) {
  FileInfo now;
  if (!files.Query(from, &now)) return SwapOutcome::kFailed;
  if (!SameFile(now, written)) return SwapOutcome::kTemporaryTaken;
  return files.RenameReplacing(from, to) ? SwapOutcome::kSwapped : SwapOutcome::kFailed;
}

// Gives the file out the owner, group and mode of in, then all of its bytes, flushed; a
// stop asked for meanwhile ends the copy as a failure.
bool CopyContents(Platform& files, const OpenFiles& open, FileHandle in, FileHandle out) {
  FileInfo info;
  bool ok =
      files.QueryOpen(in, &info) && files.SetOwner(out, info) && files.SetMode(out, info.mode);
  char chunk[4096];
  for (long got = 0; ok && (got = files.Read(in, chunk, sizeof chunk)) != 0;) {
    ok = got > 0 && !open.StopRequested() && files.Write(out, chunk, static_cast<std::size_t>(got));
  }
  return ok && files.Sync(out);
}

// A byte copy of the target, where no hard link can be made (on Windows, on file systems
// without links, where protected_hardlinks refuses another user's file). It is written under a
// temporary name beside the target, locked like the conversion's own, and renamed to the
// backup name only once complete and flushed, so that the backup name never holds part of a
// file; a stopped copy is a leftover that the next run meeting it removes. copy tells which
// file it is.
bool CopyBackup(Platform& files, const OpenFiles& open, const SwapNames& names, FileInfo* copy) {
  char first[kPathBytes];
  char temporary[kPathBytes];
  if (!BackupCopyName(names.target, first)) return false;
  const FileHandle in = files.OpenForRead(names.target);
  if (in == kNoFile) return false;
  // The swap's own temporary file is closed by now, but no leftover.
  const FileHandle out =
      CreateTemporaryFile(files, open, first, temporary, names.temporary_written);
  bool written = out != kNoFile && files.QueryOpen(out, copy) && CopyContents(files, open, in, out);
  if (out != kNoFile) written = files.Close(out) && written;
  files.Close(in);
  if (out == kNoFile) return false;
  const SwapOutcome placed =
      written ? RenameOwnFile(files, temporary, *copy, names.backup) : SwapOutcome::kFailed;
  if (placed == SwapOutcome::kFailed) files.Remove(temporary);
  return placed == SwapOutcome::kSwapped;
}

// Whether the backup name may go: not when a conversion in progress holds it open, but a
// second name of the target itself (left by a run stopped between link and rename) may: the
// contents stay under the target. Never when this run made it.
SwapOutcome BackupNameFree(Platform& files, const OpenFiles& open, const RunBackups& made,
                           const char* target, const char* backup) {
  FileInfo info;
  if (!files.Query(backup, &info)) return SwapOutcome::kFailed;
  if (made.MadeThisRun(info)) return SwapOutcome::kBackupNameUsed;
  if (!open.HeldOpen(info)) return SwapOutcome::kSwapped;
  FileInfo own;
  return files.Query(target, &own) && SameFile(info, own) ? SwapOutcome::kSwapped
                                                          : SwapOutcome::kFailed;
}

// A hard link of the target under the backup name, else a copy; backup tells which file it is.
bool MakeBackup(Platform& files, const OpenFiles& open, const SwapNames& names, FileInfo* backup) {
  *backup = names.input;
  return files.Link(names.target, names.backup) || CopyBackup(files, open, names, backup);
}

SwapOutcome WithBackupLeft(SwapOutcome failed) {
  return failed == SwapOutcome::kTemporaryTaken ? SwapOutcome::kTemporaryTakenBackupLeft
                                                : SwapOutcome::kFailedBackupLeft;
}

}  // namespace

SwapOutcome SwapIntoPlace(Platform& files, const OpenFiles& open, RunBackups& made,
                          const SwapNames& names, bool keep_backup) {
  FileInfo input_now;
  if (!files.Query(names.target, &input_now)) return SwapOutcome::kFailed;
  if (!Unchanged(names.input, input_now)) return SwapOutcome::kInputChanged;
  const SwapOutcome free = BackupNameFree(files, open, made, names.target, names.backup);
  if (free != SwapOutcome::kSwapped) return free;
  if (!files.Remove(names.backup)) return SwapOutcome::kFailed;
  FileInfo backup;
  if (keep_backup && !MakeBackup(files, open, names, &backup)) return SwapOutcome::kFailed;
  // Recorded before the input is replaced, so that no backup stays that the record lacks.
  const SwapOutcome renamed =
      keep_backup && !made.RecordBackup(backup)
          ? SwapOutcome::kFailed
          : RenameOwnFile(files, names.temporary, names.temporary_written, names.target);
  if (renamed == SwapOutcome::kSwapped) return renamed;
  // Where the folder lets this user make the backup but not remove it (a sticky folder, a
  // file of another user) a second name of the input stays: the user must hear of it.
  if (keep_backup && !files.Remove(names.backup)) return WithBackupLeft(renamed);
  return renamed;
}

}  // namespace kestrune
