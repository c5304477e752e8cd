// Test helper: runs programs in a folder, one to its end or one held at its first message.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace kestrune::test {

struct Finished {
  int exit_status = -1;  // 128 + signal number when the program was killed
  std::string err;       // what it wrote to standard error
};

// Runs command (a program and its arguments, no shell) in folder to its end, standard input
// empty, standard output discarded.
Finished RunToEnd(const std::vector<std::string>& command, const std::string& folder);

// A run whose standard error is a pipe filled to the brim before it starts: the program goes
// on until the first message it writes there and waits in that write until Release.
class HeldRun {
 public:
  HeldRun(const std::vector<std::string>& command, const std::string& folder);
  ~HeldRun();
  HeldRun(const HeldRun&) = delete;
  HeldRun& operator=(const HeldRun&) = delete;

  // Waits until some process holds a lock on the file at path, as the system lists locks;
  // false when the run ended first or none came within a minute.
  bool WaitUntilLocked(const std::string& path);
  // Empties the pipe, lets the program run to its end and tells how it ended.
  Finished Release();

 private:
  pid_t child_ = -1;
  int messages_ = -1;  // the pipe's end to read
  std::size_t filled_ = 0;
  bool released_ = false;
};

}  // namespace kestrune::test
