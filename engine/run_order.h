// Lets the runs of several engines, each on a thread of its own, keep the order of runs made one
// after another.
#pragma once

#include "engine/platform/platform.h"

namespace kestrune {

// Told by an engine at the two moments that decide whether its run can meet another: before
// it reads a file, and once its own file is written. Called on the engine's thread.
class RunOrder {
 public:
  // Before the run reads or makes anything under target (a real name, file what it names
  // now, missing or not): waits while an earlier run that is still finishing may touch that
  // file or a name made from it, or until the engine is asked to stop. True when it waited,
  // since target may then name another file.
  virtual bool AwaitApart(const char* target, const FileInfo& file) = 0;
  // The run's outermost file, target as input names it, is written: from here on the run
  // only flushes and swaps it in, touching nothing but that file and the names made from it.
  virtual void OwnFileWritten(const char* target, const FileInfo& input) = 0;

 protected:
  ~RunOrder() = default;
};

}  // namespace kestrune
