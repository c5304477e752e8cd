// The backups of every run of one command line or dialog session, for any number of runs.
#pragma once

#include <cstdint>
#include <set>
#include <utility>

#include "engine/run_state.h"

namespace kestrune {

// Given to each engine of a session, so that no run removes or replaces a backup an earlier
// run of the session made. Unlike the engine it allocates, since a session may make any
// number of backups; one thread at a time.
class SessionBackups final : public RunBackups {
 public:
  // False when there is no memory for another one.
  bool RecordBackup(const FileInfo& backup) override;
  bool MadeThisRun(const FileInfo& file) const override;

 private:
  std::set<std::pair<std::uint64_t, std::uint64_t>> made_;  // device and index
};

}  // namespace kestrune
