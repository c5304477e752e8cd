// Takes a batch's runs in turn and keeps a later run from meeting an earlier one's end.
#include "cli/run_turns.h"

#include <chrono>
#include <cstring>
#include <mutex>

#include "engine/file_names.h"

namespace kestrune {
namespace {

// How often a waiting run looks for a stop, which a signal's handler cannot wake it for.
constexpr std::chrono::milliseconds kStopPoll{20};

// The file name of path, folded, up to and with its extension's dot (the last one, never its
// first character, as the names made from it are cut); with a dot added when it has none.
void FoldedStem(const char* path, char* stem) {
  const char* name = path;
  for (const char* c = path; *c != '\0'; ++c) {
    if (*c == '/' || *c == '\\') name = c + 1;
  }
  const char* dot = name[0] == '\0' ? nullptr : std::strrchr(name + 1, '.');
  const std::size_t length =
      dot != nullptr ? static_cast<std::size_t>(dot - name) : std::strlen(name);
  for (std::size_t i = 0; i < length; ++i) {
    const char c = name[i];
    stem[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  stem[length] = '.';
  stem[length + 1] = '\0';
}

}  // namespace

bool RunTurns::Turn::MeetsOwnFile(const FileInfo& file, const Stems& stems) const {
  if (file.kind != FileKind::kMissing && SameFile(file, own_input_)) return true;
  for (int i = 0; i < stems.count; ++i) {
    for (int j = 0; j < own_stems_.count; ++j) {
      if (std::strcmp(stems.stem[i], own_stems_.stem[j]) == 0) return true;
    }
  }
  return false;
}

bool RunTurns::Turn::AwaitApart(const char* target, const FileInfo& file) {
  Stems stems;
  StemsOf(target, &stems);
  bool waited = false;
  std::unique_lock<BatchMutex> hold(turns_.mutex_);
  for (;;) {
    bool meets = false;
    for (const Turn* other : turns_.turns_) {
      meets =
          meets || (other->finishing_ && other->file_ < file_ && other->MeetsOwnFile(file, stems));
    }
    if (!meets || engine_.StopRequested()) return waited;
    waited = true;
    waiting_apart_ = true;
    woken_.wait_for(hold, kStopPoll);
    waiting_apart_ = false;
  }
}

void RunTurns::Turn::OwnFileWritten(const char* target, const FileInfo& input) {
  Stems stems;
  StemsOf(target, &stems);
  const std::lock_guard<BatchMutex> hold(turns_.mutex_);
  own_input_ = input;
  own_stems_ = stems;
  finishing_ = true;
  turns_.PassTurn(file_);
}

// The stems of target and of the names a run makes from it: its temporary file's (or the
// fallback name's), its backup's and its backup copy's. A name that does not fit has none:
// the run refuses it before making anything.
void RunTurns::Turn::StemsOf(const char* target, Stems* stems) {
  char name[kPathBytes];
  FoldedStem(target, stems->stem[stems->count++]);
  for (const auto name_of : {TemporaryName, BackupName, BackupCopyName}) {
    if (name_of(target, name)) FoldedStem(name, stems->stem[stems->count++]);
  }
}

void RunTurns::Join(Turn& turn) {
  const std::lock_guard<BatchMutex> hold(mutex_);
  turns_.push_back(&turn);
}

bool RunTurns::AwaitTurn(Turn& turn, std::size_t file) {
  std::unique_lock<BatchMutex> hold(mutex_);
  turn.awaited_ = file;
  while (turn_ != file && !turn.engine_.StopRequested()) turn.woken_.wait_for(hold, kStopPoll);
  turn.awaited_ = kNoFile;
  turn.file_ = file;
  return turn_ == file;
}

void RunTurns::EndRun(Turn& turn) {
  const std::lock_guard<BatchMutex> hold(mutex_);
  turn.finishing_ = false;
  for (Turn* other : turns_) {
    if (other->waiting_apart_) other->woken_.notify_all();
  }
  PassTurn(turn.file_);
}

// Under the lock.
void RunTurns::PassTurn(std::size_t file) {
  if (turn_ != file) return;
  ++turn_;
  for (Turn* other : turns_) {
    if (other->awaited_ == turn_) other->woken_.notify_all();
  }
}

}  // namespace kestrune
