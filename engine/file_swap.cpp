// Puts a finished temporary file in the place of its input.
#include "engine/file_swap.h"

#include "engine/open_files.h"

namespace kestrune {
namespace {

// A flushed byte copy, for file systems without hard links.
bool CopyInto(Platform& files, const char* from, const char* to) {
  const FileHandle in = files.OpenForRead(from);
  if (in == kNoFile) return false;
  FileInfo info;
  const FileHandle out = files.QueryOpen(in, &info) ? files.CreateNew(to) : kNoFile;
  bool ok = out != kNoFile && files.SetMode(out, info.mode);
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

// The backup name must not be a file that a conversion in progress holds open. A second
// name of the target itself (left by a run stopped between link and rename) may go: the
// contents stay under the target.
bool BackupNameFree(Platform& files, const OpenFiles& open, const char* target,
                    const char* backup) {
  FileInfo info;
  if (!files.Query(backup, &info)) return false;
  if (!open.HeldOpen(info)) return true;
  FileInfo own;
  return files.Query(target, &own) && SameFile(info, own);
}

}  // namespace

bool SwapIntoPlace(Platform& files, const OpenFiles& open, const char* target,
                   const char* temporary, const char* backup, bool keep_backup) {
  if (!BackupNameFree(files, open, target, backup) || !files.Remove(backup)) return false;
  if (keep_backup && !files.Link(target, backup) && !CopyInto(files, target, backup)) return false;
  if (files.RenameReplacing(temporary, target)) return true;
  if (keep_backup) files.Remove(backup);
  return false;
}

}  // namespace kestrune
