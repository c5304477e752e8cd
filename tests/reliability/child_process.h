// Test helper: runs part of a test in a forked child, so it can be killed, hang safely or drop its
// rights.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>

namespace kestrune::test {

// The user and group without rights that children drop to.
constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

// How a child ended and what it handed back.
struct ChildEnd {
  bool exited = false;  // returned normally; code holds the exit status
  int code = 0;
  int signal = 0;          // the signal that ended it, 0 if none
  bool timed_out = false;  // killed by the parent because it took too long
  std::string output;      // what the body returned
};

// A forked child that runs body and exits; the body may write single report bytes to the
// descriptor it is given before it returns its output. The child never returns into the test.
class ChildProcess {
 public:
  explicit ChildProcess(const std::function<std::string(int report)>& body);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Waits for the next report byte, kept in byte unless null; false when the child ended or
  // the time ran out first.
  bool AwaitReport(std::chrono::milliseconds timeout, char* byte = nullptr);
  void Kill(int signal_number = SIGKILL);
  // Collects the output and reaps the child, killing it once timeout has passed.
  ChildEnd Finish(std::chrono::milliseconds timeout);

 private:
  pid_t pid_ = -1;
  int pipe_ = -1;
};

// Runs body in a child and returns how it ended; the child is killed after timeout.
ChildEnd RunInChild(const std::function<std::string()>& body, std::chrono::milliseconds timeout);
// Likewise with the user and group of "nobody" and no supplementary groups (needs root);
// an output starting "setuid failed" tells that the rights could not be dropped.
ChildEnd RunAsNobody(const std::function<std::string()>& body, std::chrono::milliseconds timeout);

}  // namespace kestrune::test
