// A temporary file's name that a signal handler or another thread may remove.
#include "engine/removable_name.h"

namespace kestrune {

void RemovableName::Arm(Platform& files, FileHandle file, const char* path) {
  if (files.PrepareRemoval(file, path, &ticket_)) state_.store(kArmed);
}

void RemovableName::Disarm() {
  int armed = kArmed;
  if (state_.compare_exchange_strong(armed, kDisarmed) || armed == kDisarmed) return;
  while (state_.load() == kRemoving) {
  }
}

void RemovableName::RemoveNow(Platform& files) {
  int armed = kArmed;
  if (state_.compare_exchange_strong(armed, kRemoving)) files.RemoveNow(ticket_);
}

}  // namespace kestrune
