// Converts one schematic file from version 7.1 to 6.1 in place, nested files first.
#include "engine/schematic_converter.h"

#include <cstdio>
#include <cstring>

#include "engine/file_names.h"
#include "engine/file_swap.h"
#include "engine/open_files.h"
#include "engine/platform.h"
#include "engine/run_state.h"
#include "engine/text_util.h"

namespace kestrune {
namespace {

constexpr char kOldVersion[] = "*version 6.1";
constexpr char kNewVersion[] = "*version 7.1";
constexpr std::size_t kVersionChars = sizeof kOldVersion - 1;
constexpr char kPartKey[] = "PART=";
constexpr int kTemporaryAttempts = 10;

// What one call works with: the file it really rewrites (a symbolic link's target), the
// names derived from that, and its open files.
struct Job {
  const char* path;  // as given: shown, listed and compared
  char target[kPathBytes];
  char temporary[kPathBytes];
  char backup[kPathBytes];
  ConversionLevel* level;
  FileHandle input;
  FileHandle output;
};

enum class LoopEnd { kCopied, kAlreadyOld, kReadFailed };

// Finds the file to rewrite; false, with the error shown, when there is no regular file.
bool LocateTarget(StatusSink& sink, Platform& files, Job& job) {
  FileInfo info;
  if (!files.Query(job.path, &info) || info.kind == FileKind::kMissing) {
    sink.ShowError("ERROR: Unable to open input file!");
    return false;
  }
  if (info.kind != FileKind::kRegular) {
    sink.ShowError("ERROR: Input is not a regular file!");
    return false;
  }
  const bool located = info.is_link ? files.ResolveLink(job.path, job.target, kPathBytes)
                                    : CopyText(job.target, kPathBytes, job.path);
  if (!located) sink.ShowError("ERROR: Unable to open input file!");
  return located;
}

// Derives the temporary and backup names; a name that would be the input's own is refused.
bool DeriveNames(StatusSink& sink, Job& job) {
  if (!TemporaryName(job.target, job.temporary) || !BackupName(job.target, job.backup)) {
    sink.ShowError("ERROR: Path too long for the temporary or backup file name!");
    return false;
  }
  if (EqualsIgnoreCase(job.temporary, job.target) || EqualsIgnoreCase(job.backup, job.target)) {
    sink.ShowError("ERROR: Input file has the extension of a temporary or backup file!");
    return false;
  }
  return true;
}

bool OpenInput(StatusSink& sink, Platform& files, Job& job) {
  job.input = files.OpenForRead(job.target);
  if (job.input == kNoFile) {
    sink.ShowError("ERROR: Unable to open input file!");
    return false;
  }
  FileInfo info;
  const bool known = files.QueryOpen(job.input, &info);
  if (known && !HeldOpen(info)) {
    job.level->input = info;
    return true;
  }
  files.Close(job.input);
  sink.ShowError(known ? "ERROR: File is already being converted in this run!"
                       : "ERROR: Unable to open input file!");
  return false;
}

// Creates the temporary file exclusively. A leftover of an earlier run, under the first name
// or an alternative one, is removed (it would be overwritten anyway); a name that a
// conversion in progress holds open is passed over for the next alternative.
bool CreateTemporary(Platform& files, Job& job) {
  char name[kPathBytes];
  for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
    if (attempt == 0 ? !CopyText(name, kPathBytes, job.temporary)
                     : !AlternativeTemporaryName(job.temporary, attempt, name)) {
      return false;
    }
    FileInfo existing;
    if (!files.Query(name, &existing)) return false;
    if (existing.kind != FileKind::kMissing) {
      if (HeldOpen(existing) || existing.kind != FileKind::kRegular) continue;
      if (!files.Remove(name)) return false;
    }
    job.output = files.CreateNew(name);
    if (job.output == kNoFile) return false;
    CopyText(job.temporary, kPathBytes, name);
    if (files.QueryOpen(job.output, &job.level->temporary) &&
        files.SetMode(job.output, job.level->input.mode)) {
      return true;
    }
    files.Close(job.output);
    files.Remove(job.temporary);
    return false;
  }
  return false;
}

// A part whose default names a file not yet visited leads to that file, converted now.
void FollowPart(StatusSink& sink, const char* value, const char* line_end) {
  std::size_t length = static_cast<std::size_t>(line_end - value);
  if (length > 0 && value[length - 1] == '\n') --length;
  if (length >= kPathBytes) return;
  char part[kPathBytes];
  std::memcpy(part, value, length);
  part[length] = '\0';
  const char* nested = FindPart(part);
  if (nested == nullptr || IsVisited(nested)) return;
  if (ConvertEmbedded != 0) ConvertFile(sink, nested);
}

// Lines that hold none of the texts the rewrites look for go through in bulk, and so do
// lines of one piece whose only such text is one "PART=": their part is followed before the
// line is kept. Each other line is read and rewritten piece by piece.
LoopEnd CopyLines(StatusSink& sink, ConversionLevel& level, char* line) {
  // "PART=", the most frequent, first and carried.
  static const char* const kMarkerTexts[] = {kPartKey, kOldVersion, kNewVersion, "@setup", "@index"};
  static const LineMarkers kMarkers(kMarkerTexts, sizeof kMarkerTexts / sizeof kMarkerTexts[0], 0);
  bool copying = true;
  for (;;) {
    for (;;) {
      char* const lines = level.writer.Reserve(TextReader::kBulkRoom);
      std::size_t part_at;
      const std::size_t taken = level.reader.TakePlainLines(lines, kMarkers, &part_at);
      if (taken == 0) break;
      if (part_at != TextReader::kNotCarried) FollowPart(sink, lines + part_at, lines + taken);
      if (copying) level.writer.Commit(taken);
    }
    std::size_t length;
    do {
      length = level.reader.ReadLine(line);
      if (length == 0) return level.reader.failed() ? LoopEnd::kReadFailed : LoopEnd::kCopied;
      if (FindText(line, length, kOldVersion) != nullptr) return LoopEnd::kAlreadyOld;
      if (const char* version = FindText(line, length, kNewVersion)) {
        std::memcpy(line + (version - line), kOldVersion, kVersionChars);
      }
      if (FindText(line, length, "@setup") != nullptr) copying = false;
      if (FindText(line, length, "@index") != nullptr) copying = true;
      if (const char* part = FindText(line, length, kPartKey)) {
        FollowPart(sink, part + sizeof kPartKey - 1, line + length);
      }
      if (copying) level.writer.Write(line, length);
    } while (line[length - 1] != '\n');
  }
}

// Closes both files and removes the temporary one; the input stays as it was.
void Abandon(StatusSink& sink, Platform& files, Job& job, const char* error) {
  files.Close(job.output);
  files.Close(job.input);
  if (!files.Remove(job.temporary) && error == nullptr) {
    error = "ERROR: Unable to remove temporary output file!";
  }
  if (error != nullptr) sink.ShowError(error);
}

void Finish(StatusSink& sink, Platform& files, Job& job, LoopEnd end) {
  if (end != LoopEnd::kCopied) {
    Abandon(sink, files, job, end == LoopEnd::kReadFailed ? "ERROR: Unable to read input file!" : nullptr);
    return;
  }
  bool written = job.level->writer.Finish() && files.Sync(job.output);
  written = files.Close(job.output) && written;
  files.Close(job.input);
  if (!written) {
    files.Remove(job.temporary);
    sink.ShowError("ERROR: Unable to write temporary output file!");
  } else if (!SwapIntoPlace(files, job.target, job.temporary, job.backup, CreateBackups != 0)) {
    files.Remove(job.temporary);
    sink.ShowError("ERROR: Unable to replace input file!");
  }
}

void Convert(StatusSink& sink, Platform& files, Job& job) {
  if (!OpenInput(sink, files, job)) return;
  if (!CreateTemporary(files, job)) {
    files.Close(job.input);
    sink.ShowError("ERROR: Unable to create temporary output file!");
    return;
  }
  char line[kLineBytes];
  std::snprintf(line, sizeof line, "Status: Converting %s", job.path);
  sink.SetStatus(line);
  job.level->reader.Start(files, job.input);
  job.level->writer.Start(files, job.output);
  Finish(sink, files, job, CopyLines(sink, *job.level, line));
}

}  // namespace

void ConvertFile(StatusSink& sink, const char* path) {
  if (IsVisited(path)) return;
  if (!RecordVisited(path)) {
    sink.ShowError(TextLength(path) >= kVisitedPathBytes ? "ERROR: Input file path is too long!"
                                                         : "ERROR: Too many files in one run!");
    return;
  }
  Platform& files = ActivePlatform();
  Job job{};
  job.path = path;
  if (!LocateTarget(sink, files, job) || !DeriveNames(sink, job)) return;
  job.level = &EnterLevel();
  Convert(sink, files, job);
  LeaveLevel();
}

}  // namespace kestrune
