// Puts a finished temporary file in the place of its input.
#include "engine/file_swap.h"

#include "engine/open_files.h"

namespace kestrune {
namespace {

// A flushed byte copy, for file systems without hard links; copy tells which file it is.
bool CopyInto(Platform& files, const char* from, const char* to, FileInfo* copy) {
  const FileHandle in = files.OpenForRead(from);
  if (in == kNoFile) return false;
  FileInfo info;
  const FileHandle out = files.QueryOpen(in, &info) ? files.CreateNew(to) : kNoFile;
  bool ok = out != kNoFile && files.QueryOpen(out, copy) && files.SetOwner(out, info) &&
            files.SetMode(out, info.mode);
  char chunk[4096];
  for (long got = 0; ok && (got = files.Read(in, chunk, sizeof chunk)) != 0;) {
    ok = got > 0 && files.Write(out, chunk, static_cast<std::size_t>(got));
  }
  ok = ok && files.Sync(out);
  if (out != kNoFile) ok = files.Close(out) && ok;
  files.Close(in);
  if (!ok && out != kNoFile) files.Remove(to);
  return ok;
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
bool MakeBackup(Platform& files, const SwapNames& names, FileInfo* backup) {
  *backup = names.input;
  return files.Link(names.target, names.backup) ||
         CopyInto(files, names.target, names.backup, backup);
}

// Checked right before the rename: another run may have taken the name in the moment after
// this one closed, and so unlocked, its file.
SwapOutcome RenameOwnTemporary(Platform& files, const SwapNames& names) {
  FileInfo now;
  if (!files.Query(names.temporary, &now)) return SwapOutcome::kFailed;
  if (!SameFile(now, names.temporary_written)) return SwapOutcome::kTemporaryTaken;
  return files.RenameReplacing(names.temporary, names.target) ? SwapOutcome::kSwapped
                                                              : SwapOutcome::kFailed;
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
  if (keep_backup && !MakeBackup(files, names, &backup)) return SwapOutcome::kFailed;
  const SwapOutcome renamed = RenameOwnTemporary(files, names);
  if (renamed == SwapOutcome::kSwapped) {
    if (keep_backup) made.RecordBackup(backup);
  } else if (keep_backup) {
    files.Remove(names.backup);
  }
  return renamed;
}

}  // namespace kestrune
