// The files that a run's conversions in progress hold open, one level per nesting depth.
#pragma once

#include <atomic>

#include "engine/platform/platform.h"
#include "engine/removable_name.h"
#include "engine/run_state.h"
#include "engine/text_reader.h"
#include "engine/text_writer.h"

namespace kestrune {

// Each nesting level reads one input and writes one temporary file with buffers of its own,
// so that no level allocates.
struct ConversionLevel {
  TextReader reader;
  TextWriter writer;
  FileInfo input;
  FileInfo temporary;
  RemovableName temporary_name;
};

class OpenFiles {
 public:
  OpenFiles() = default;
  OpenFiles(const OpenFiles&) = delete;
  OpenFiles& operator=(const OpenFiles&) = delete;

  // A fresh level for a new conversion. Each level converts a distinct recorded file, so
  // the visited capacity bounds the depth and a level is always free.
  ConversionLevel& EnterLevel();
  // Gives back the innermost level.
  void LeaveLevel();
  // True for the level of the file a run was given, the one that holds the others.
  bool Outermost(const ConversionLevel& level) const { return &level == &levels_[0]; }
  // True when the file is an input or a temporary file of a level in use, whatever path names it.
  bool HeldOpen(const FileInfo& file) const;
  // Removes the temporary file of every level that holds one. Safe in a signal handler.
  void RemoveTemporariesNow(Platform& files);

  // Asks the conversions in progress, and every later one, to stop: from now on no temporary
  // file is created, and each level gives up its file at its next step. Never taken back.
  // Safe in a signal handler and on any thread.
  void RequestStop() { stop_requested_.store(true, std::memory_order_relaxed); }
  bool StopRequested() const { return stop_requested_.load(std::memory_order_relaxed); }

 private:
  // The outermost level converts the files a user names, which may be of any size; it writes
  // in larger pieces, since each write call into the file system costs far more than its
  // bytes. Nested levels keep the small buffers of their own, so the memory of a deep
  // nesting stays bounded.
  static constexpr std::size_t kOuterWriteBytes = 1024 * 1024;

  ConversionLevel levels_[kVisitedRows];
  int levels_in_use_ = 0;
  static_assert(std::atomic<bool>::is_always_lock_free, "needed in a signal handler");
  std::atomic<bool> stop_requested_{false};
  char outer_write_buffer_[kOuterWriteBytes];
};

}  // namespace kestrune
