// Test helper: runs part of a test in a forked child.
#include "tests/reliability/child_process.h"

#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <stdexcept>

namespace kestrune::test {
namespace {

void WriteAll(int fd, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t put = write(fd, text.data() + done, text.size() - done);
    if (put <= 0) return;
    done += static_cast<std::size_t>(put);
  }
}

// Waits until fd is readable; false when the time ran out.
bool Readable(int fd, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd wanted{fd, POLLIN, 0};
    const int ready = poll(&wanted, 1, static_cast<int>(std::max<long>(0, left.count())));
    if (ready > 0) return true;
    if (ready == 0) return false;
    if (errno != EINTR) return false;
  }
}

}  // namespace

ChildProcess::ChildProcess(const std::function<std::string(int report)>& body) {
  int ends[2];
  if (pipe(ends) != 0) throw std::runtime_error("pipe failed");
  std::cout.flush();
  std::fflush(nullptr);
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    close(ends[0]);
    int code = 0;
    try {
      WriteAll(ends[1], body(ends[1]));
    } catch (...) {
      code = 3;
    }
    _exit(code);
  }
  close(ends[1]);
  pipe_ = ends[0];
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (pipe_ >= 0) close(pipe_);
}

bool ChildProcess::AwaitReport(std::chrono::milliseconds timeout, char* byte) {
  char read_byte;
  if (byte == nullptr) byte = &read_byte;
  return Readable(pipe_, std::chrono::steady_clock::now() + timeout) && read(pipe_, byte, 1) == 1;
}

void ChildProcess::Kill(int signal_number) { kill(pid_, signal_number); }

ChildEnd ChildProcess::Finish(std::chrono::milliseconds timeout) {
  ChildEnd end;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  char chunk[4096];
  for (;;) {
    if (!Readable(pipe_, deadline)) {
      end.timed_out = true;
      kill(pid_, SIGKILL);
      break;
    }
    const ssize_t got = read(pipe_, chunk, sizeof chunk);
    if (got <= 0) break;
    end.output.append(chunk, static_cast<std::size_t>(got));
  }
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  end.exited = WIFEXITED(status);
  end.code = end.exited ? WEXITSTATUS(status) : 0;
  end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  return end;
}

ChildEnd RunInChild(const std::function<std::string()>& body, std::chrono::milliseconds timeout) {
  ChildProcess child([&](int) { return body(); });
  return child.Finish(timeout);
}

ChildEnd RunAsNobody(const std::function<std::string()>& body, std::chrono::milliseconds timeout) {
  return RunInChild(
      [&]() -> std::string {
        if (setgroups(0, nullptr) != 0 || setgid(kNogroup) != 0 || setuid(kNobody) != 0) {
          return "setuid failed";
        }
        return body();
      },
      timeout);
}

}  // namespace kestrune::test
