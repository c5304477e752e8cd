// A temporary file's name that a signal handler or another thread may remove while it is held.
#pragma once

#include <atomic>

#include "engine/platform/platform.h"

namespace kestrune {

// What removes the file is prepared in advance (a signal handler may map no path): arming
// publishes it, complete, to RemoveNow; disarming takes it back before the run closes,
// removes or renames the file, so that RemoveNow never reaches a name or handle that is no
// longer this run's file: a signal at any moment leaves at worst the temporary file.
class RemovableName {
 public:
  // For a file this run has just created under path and holds open and locked. Stays
  // disarmed when the platform cannot prepare its removal (nothing on a disk, too long).
  void Arm(Platform& files, FileHandle file, const char* path);
  // Before the file is closed. Should a removal have begun, the process is ending: the
  // caller waits here for that end, so that it never renames a removed file.
  void Disarm();
  // Removes the file when armed. Safe in a signal handler and on another thread.
  void RemoveNow(Platform& files);

 private:
  enum State : int { kDisarmed, kArmed, kRemoving };
  static_assert(std::atomic<int>::is_always_lock_free, "needed in a signal handler");

  std::atomic<int> state_{kDisarmed};
  RemovalTicket ticket_;
};

}  // namespace kestrune
