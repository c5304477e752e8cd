// Converts one schematic file from version 7.1 to 6.1 in place, nested files first.
#include <cstdio>
#include <cstring>

#include "engine/conversion_engine.h"
#include "engine/file_names.h"
#include "engine/file_swap.h"
#include "engine/temporary_file.h"
#include "engine/text_util.h"

namespace kestrune {

// What one ConvertFile call works with: the file it really rewrites (a symbolic link's
// target), the names derived from that, and its open files.
struct ConversionJob {
  const char* path;  // as given: shown, listed and compared
  FileInfo file;     // what path names: compared with the files visited
  int row;           // where the visited list holds it
  char target[kPathBytes];
  char temporary[kPathBytes];
  char backup[kPathBytes];
  ConversionLevel* level;
  FileHandle input;
  FileHandle output;
};

namespace {

constexpr char kOldVersion[] = "*version 6.1";
constexpr char kNewVersion[] = "*version 7.1";
constexpr std::size_t kVersionChars = sizeof kOldVersion - 1;
constexpr char kPartKey[] = "PART=";

constexpr char kOpenError[] = "ERROR: Unable to open input file!";

// Finds the file to rewrite under its real name, from which every name the conversion
// changes is derived, so that none of them is matched in another letter case; the error when
// there is no regular file, else null.
const char* LocateTarget(Platform& files, ConversionJob& job) {
  if (!files.RealName(job.path, job.target, kPathBytes)) {
    job.target[0] = '\0';
    job.file = FileInfo{};
    return kOpenError;
  }
  if (!files.Query(job.target, &job.file)) {
    job.file = FileInfo{};
    return kOpenError;
  }
  if (job.file.kind == FileKind::kMissing) {
    // The open that fails keeps the system's reason: no such file, or no such folder.
    const FileHandle appeared = files.OpenForRead(job.target);
    if (appeared != kNoFile) files.Close(appeared);
    return kOpenError;
  }
  return job.file.kind == FileKind::kRegular ? nullptr : "ERROR: Input is not a regular file!";
}

// Derives the temporary and backup names; a name that would be the input's own is refused.
const char* DeriveNames(ConversionJob& job) {
  if (!TemporaryName(job.target, job.temporary) || !BackupName(job.target, job.backup)) {
    return "ERROR: Path too long for the temporary or backup file name!";
  }
  if (EqualsIgnoreCase(job.temporary, job.target) || EqualsIgnoreCase(job.backup, job.target)) {
    return "ERROR: Input file has the extension of a temporary or backup file!";
  }
  return nullptr;
}

const char* SwapError(SwapOutcome outcome) {
  switch (outcome) {
    case SwapOutcome::kBackupNameUsed: return "ERROR: Backup name already used in this run!";
    case SwapOutcome::kInputChanged: return "ERROR: Input file changed while it was converted!";
    case SwapOutcome::kFailedBackupLeft:
    case SwapOutcome::kTemporaryTakenBackupLeft:
      return "ERROR: Unable to replace input file! The backup file could not be removed:";
    default: return "ERROR: Unable to replace input file!";
  }
}

}  // namespace

bool ConversionEngine::OpenInput(ConversionJob& job) {
  job.input = platform_.OpenForRead(job.target);
  if (job.input == kNoFile) {
    ShowFailure(kOpenError, job.path);
    return false;
  }
  FileInfo info;
  const char* error = nullptr;
  if (!platform_.QueryOpen(job.input, &info)) {
    error = kOpenError;
  } else if (open_files_.HeldOpen(info)) {
    error = "ERROR: File is already being converted in this run!";
  } else if (const LockOutcome locked = platform_.TryLock(job.input);
             locked != LockOutcome::kLocked) {
    error = locked == LockOutcome::kHeldElsewhere
                ? "ERROR: File is being converted by another program!"
                : "ERROR: Unable to lock input file!";
  } else {
    job.level->input = info;
    return true;
  }
  platform_.Close(job.input);
  // No call failed for the refusals: no reason was kept since ConvertFile forgot the last.
  ShowFailure(error, job.path);
  return false;
}

// Creates the locked temporary file and gives it the input's owner, group and mode.
bool ConversionEngine::CreateTemporary(ConversionJob& job) {
  char name[kPathBytes];
  job.output = CreateTemporaryFile(platform_, open_files_, job.temporary, name);
  if (job.output == kNoFile) return false;
  CopyText(job.temporary, kPathBytes, name);
  // Locked, the name is this run's until the file is closed.
  job.level->temporary_name.Arm(platform_, job.output, job.temporary);
  // Owner first: giving a file away may clear its set-id bits.
  if (platform_.QueryOpen(job.output, &job.level->temporary) &&
      platform_.SetOwner(job.output, job.level->input) &&
      platform_.SetMode(job.output, job.level->input.mode)) {
    return true;
  }
  job.level->temporary_name.Disarm();
  platform_.Close(job.output);
  job.output = kNoFile;
  platform_.Remove(job.temporary);
  return false;
}

// A part whose default names a file not yet visited leads to that file, converted now.
void ConversionEngine::FollowPart(const char* value, const char* line_end) {
  std::size_t length = static_cast<std::size_t>(line_end - value);
  if (length > 0 && value[length - 1] == '\n') --length;
  if (length >= kPathBytes) return;
  const char* nested = parts_.FindPart(value, length);
  if (nested != nullptr && convert_embedded_) ConvertFile(nested);
}

// Lines that hold none of the texts the rewrites look for go through in bulk, and so do
// lines of one piece whose only such text is one "PART=": their part is followed before the
// line is kept. Each other line is read and rewritten piece by piece. A file found at 6.1 is
// read on to its end, nothing written, only when its parts are to be followed.
ConversionEngine::LoopEnd ConversionEngine::CopyLines(ConversionLevel& level, char* line) {
  // "PART=", the most frequent, first and carried.
  static const char* const kMarkerTexts[] = {kPartKey, kOldVersion, kNewVersion, "@setup",
                                             "@index"};
  static const LineMarkers kMarkers(kMarkerTexts, sizeof kMarkerTexts / sizeof kMarkerTexts[0], 0);
  Version version = Version::kUnknown;
  bool copying = true;
  for (;;) {
    for (;;) {
      // Each take reads and writes a buffer at most: a stop is seen between two.
      if (StopReached()) return LoopEnd::kStopped;
      char* const lines = level.writer.Reserve(TextReader::kBulkRoom);
      CarriedLines parts;
      const std::size_t taken = level.reader.TakePlainLines(lines, kMarkers, &parts);
      if (taken == 0) break;
      for (int i = 0; i < parts.count; ++i) {
        FollowPart(lines + parts.lines[i].value, lines + parts.lines[i].end);
      }
      if (copying) level.writer.Commit(taken);
    }
    std::size_t length;
    do {
      if (StopReached()) return LoopEnd::kStopped;
      length = level.reader.ReadLine(line);
      if (length == 0) return CopyEnd(level.reader.failed(), version, copying);
      if (version == Version::kUnknown && FindText(line, length, kOldVersion) != nullptr) {
        if (!convert_embedded_) return LoopEnd::kAlreadyOld;
        version = Version::kOld;
        copying = false;
      }
      if (version != Version::kOld) {
        if (const char* marker = FindText(line, length, kNewVersion)) {
          std::memcpy(line + (marker - line), kOldVersion, kVersionChars);
          version = Version::kNew;
        }
        if (FindText(line, length, "@setup") != nullptr) copying = false;
        if (FindText(line, length, "@index") != nullptr) copying = true;
      }
      if (const char* part = FindText(line, length, kPartKey)) {
        FollowPart(part + sizeof kPartKey - 1, line + length);
      }
      if (copying) level.writer.Write(line, length);
    } while (line[length - 1] != '\n');
  }
}

ConversionEngine::LoopEnd ConversionEngine::CopyEnd(bool read_failed, Version version,
                                                    bool copying) {
  if (read_failed) return LoopEnd::kReadFailed;
  if (version == Version::kUnknown) return LoopEnd::kNotNew;
  if (version == Version::kOld) return LoopEnd::kAlreadyOld;
  return copying ? LoopEnd::kCopied : LoopEnd::kSetupOpen;
}

// Closes both files and removes the temporary one, if there is one; the input stays as it
// was. call_failed: the error is a failed call's, which the platform may give a reason for.
// A run cut short by a stop says nothing.
void ConversionEngine::Abandon(ConversionJob& job, const char* error, bool call_failed) {
  const bool made = job.output != kNoFile;
  if (made) {
    job.level->temporary_name.Disarm();
    platform_.Close(job.output);
  }
  platform_.Close(job.input);
  if (made && !platform_.Remove(job.temporary) && error == nullptr && !stopped_) {
    error = "ERROR: Unable to remove temporary output file!";
    call_failed = true;
  }
  if (error == nullptr) return;
  if (call_failed) {
    ShowFailure(error, job.path);
  } else {
    ShowError(error, job.path);
  }
}

FileOutcome ConversionEngine::Finish(ConversionJob& job, LoopEnd end) {
  const char* error = nullptr;
  switch (end) {
    case LoopEnd::kCopied: break;
    case LoopEnd::kAlreadyOld: Abandon(job, nullptr, false); return FileOutcome::kAlreadyOld;
    case LoopEnd::kStopped: Abandon(job, nullptr, false); return FileOutcome::kNotConverted;
    case LoopEnd::kReadFailed: error = "ERROR: Unable to read input file!"; break;
    case LoopEnd::kNotNew: error = "ERROR: Not a version 7.1 schematic!"; break;
    case LoopEnd::kSetupOpen: error = "ERROR: No @index after @setup!"; break;
  }
  if (error != nullptr) {
    Abandon(job, error, end == LoopEnd::kReadFailed);
    return FileOutcome::kNotConverted;
  }
  if (order_ != nullptr && open_files_.Outermost(*job.level)) {
    order_->OwnFileWritten(job.target, job.level->input);
  }
  bool written = job.level->writer.Finish() && platform_.Sync(job.output);
  // A stop asked for during the flush, which may be long, still finds the file held.
  if (StopReached()) {
    Abandon(job, nullptr, false);
    return FileOutcome::kNotConverted;
  }
  // Once closed, the file is no longer locked, and soon renamed into the input's place.
  job.level->temporary_name.Disarm();
  written = platform_.Close(job.output) && written;
  platform_.Close(job.input);
  if (!written) {
    platform_.Remove(job.temporary);
    ShowFailure("ERROR: Unable to write temporary output file!", job.path);
    return FileOutcome::kNotConverted;
  }
  const SwapNames names{job.target, job.temporary, job.backup, job.level->input,
                        job.level->temporary};
  // Nested runs failed on their own while this file was copied.
  ForgetFailure();
  const SwapOutcome swapped =
      SwapIntoPlace(platform_, open_files_, *backups_, names, create_backups_);
  if (swapped == SwapOutcome::kSwapped) {
    visited_.Reidentify(job.row, job.level->temporary);
    return FileOutcome::kConverted;
  }
  if (!TemporaryTaken(swapped)) platform_.Remove(job.temporary);
  // A backup copy cut short by a stop; a backup left behind is still named.
  if (!BackupLeft(swapped) && StopReached()) return FileOutcome::kNotConverted;
  // A stray backup is named instead of the input, so that the user can remove it.
  ShowFailure(SwapError(swapped), BackupLeft(swapped) ? job.backup : job.path);
  return FileOutcome::kNotConverted;
}

// A file whose first line says 6.1 is left as it is: it gets no temporary file, whose
// creation and removal would cost more than reading the file.
FileOutcome ConversionEngine::Convert(ConversionJob& job) {
  if (!OpenInput(job)) return FileOutcome::kNotConverted;
  job.level->reader.Start(platform_, job.input);
  job.output = kNoFile;
  if (!job.level->reader.FirstPieceHolds(kOldVersion) && !CreateTemporary(job)) {
    platform_.Close(job.input);
    if (!StopReached()) ShowFailure("ERROR: Unable to create temporary output file!", job.path);
    return FileOutcome::kNotConverted;
  }
  char line[kLineBytes];
  std::snprintf(line, sizeof line, "Status: Converting %s", job.path);
  sink_.SetStatus(line);
  job.level->writer.Start(platform_, job.output);
  return Finish(job, CopyLines(*job.level, line));
}

bool ConversionEngine::StopReached() {
  if (open_files_.StopRequested()) stopped_ = true;
  return stopped_;
}

// A file reached again, under this name or another, closes a cycle: it is passed over in
// silence. Any other file is recorded before its errors are shown, so that it is listed.
void ConversionEngine::ConvertFile(const char* path) {
  if (StopReached() || visited_.IsVisited(path)) return;
  // From here on a kept reason is this file's own.
  ForgetFailure();
  ConversionJob job{};
  job.path = path;
  const char* error = LocateTarget(platform_, job);
  if (order_ != nullptr && job.target[0] != '\0' && order_->AwaitApart(job.target, job.file)) {
    if (StopReached()) return;
    ForgetFailure();
    error = LocateTarget(platform_, job);
  }
  if (visited_.IsVisited(path, job.file)) return;
  if (!visited_.RecordVisited(path, job.file)) {
    if (TextLength(path) >= kPathBytes) {
      ShowError("ERROR: Input file path is too long!");
    } else {
      ShowError("ERROR: Too many files in one run!", path);
    }
    sink_.FileDone(path, FileOutcome::kNotConverted);
    return;
  }
  job.row = visited_.VisitedCount() - 1;
  if (error == nullptr) error = DeriveNames(job);
  if (error != nullptr) {
    // Only LocateTarget calls the platform: a reason kept is that of its failed call.
    ShowFailure(error, path);
    sink_.FileDone(path, FileOutcome::kNotConverted);
    return;
  }
  job.level = &open_files_.EnterLevel();
  const FileOutcome outcome = Convert(job);
  open_files_.LeaveLevel();
  if (!stopped_) sink_.FileDone(path, outcome);
}

}  // namespace kestrune
