// One record of backups for a batch whose workers convert files on several threads.
#pragma once

#include <mutex>

#include "cli/batch_threads.h"
#include "engine/session_backups.h"

namespace kestrune {

// Every worker's runs record their backups here, as one run after another would in one
// record, so that no later file replaces an earlier one's backup, whichever worker had it.
class LockedBackups final : public RunBackups {
 public:
  bool RecordBackup(const FileInfo& backup) override {
    const std::lock_guard<BatchMutex> hold(mutex_);
    return backups_.RecordBackup(backup);
  }
  bool MadeThisRun(const FileInfo& file) const override {
    const std::lock_guard<BatchMutex> hold(mutex_);
    return backups_.MadeThisRun(file);
  }

 private:
  mutable BatchMutex mutex_;
  SessionBackups backups_;
};

}  // namespace kestrune
