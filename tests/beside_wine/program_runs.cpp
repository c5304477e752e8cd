// Test helper: runs programs in a folder, one to its end or one held at its first message.
#include "tests/beside_wine/program_runs.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace kestrune::test {
namespace {

constexpr auto kLongestWait = std::chrono::minutes(1);

// Starts command in folder with the given standard error; standard input and output go to
// /dev/null. The child uses only calls that are safe after fork.
pid_t Start(const std::vector<std::string>& command, const std::string& folder, int err) {
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_RDWR);
    if (null < 0 || chdir(folder.c_str()) != 0 || dup2(null, 0) < 0 || dup2(null, 1) < 0 ||
        dup2(err, 2) < 0) {
      _exit(126);
    }
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

int ExitStatus(int status) {
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Reads what is there now, without waiting.
void ReadAvailable(int fd, std::string* into) {
  char chunk[4096];
  for (ssize_t got; (got = read(fd, chunk, sizeof chunk)) > 0;) into->append(chunk, got);
}

// Fills the pipe until a write would wait, then makes its writes wait again; the count.
std::size_t FillPipe(int fd) {
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  std::size_t filled = 0;
  const std::string chunk(4096, '#');
  for (std::size_t size : {chunk.size(), std::size_t{1}}) {
    for (ssize_t put; (put = write(fd, chunk.data(), size)) > 0;) filled += put;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return filled;
}

// True when /proc/locks names a lock on the file that info describes.
bool LockListed(const struct stat& info) {
  char file[64];
  std::snprintf(file, sizeof file, "%02x:%02x:%llu", major(info.st_dev), minor(info.st_dev),
                static_cast<unsigned long long>(info.st_ino));
  std::ifstream locks("/proc/locks");
  for (std::string line; std::getline(locks, line);) {
    std::istringstream fields(line);
    std::string field;
    for (int i = 0; i < 6 && fields >> field; ++i) {
      if (field == "->") fields >> field;  // a waiting lock's line has one field more
    }
    if (field == file) return true;
  }
  return false;
}

}  // namespace

Finished RunToEnd(const std::vector<std::string>& command, const std::string& folder) {
  char name[] = "/tmp/kestrune-err.XXXXXX";
  const int err = mkstemp(name);
  unlink(name);
  Finished finished;
  const pid_t child = Start(command, folder, err);
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child) finished.exit_status = ExitStatus(status);
  lseek(err, 0, SEEK_SET);
  ReadAvailable(err, &finished.err);
  close(err);
  return finished;
}

HeldRun::HeldRun(const std::vector<std::string>& command, const std::string& folder) {
  int pipe_ends[2];
  if (pipe2(pipe_ends, O_CLOEXEC) != 0) return;
  filled_ = FillPipe(pipe_ends[1]);
  child_ = Start(command, folder, pipe_ends[1]);
  close(pipe_ends[1]);
  messages_ = pipe_ends[0];
  fcntl(messages_, F_SETFL, fcntl(messages_, F_GETFL) | O_NONBLOCK);
}

HeldRun::~HeldRun() {
  if (!released_) Release();
  close(messages_);
}

bool HeldRun::WaitUntilLocked(const std::string& path) {
  const auto deadline = std::chrono::steady_clock::now() + kLongestWait;
  while (std::chrono::steady_clock::now() < deadline) {
    int status;
    if (child_ <= 0 || waitpid(child_, &status, WNOHANG) != 0) return false;
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && LockListed(info)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// Wine's server may keep the pipe open after the program's end, so the end is the child's.
Finished HeldRun::Release() {
  released_ = true;
  std::string messages;
  Finished finished;
  int status = 0;
  for (;;) {
    ReadAvailable(messages_, &messages);
    if (child_ <= 0) break;
    const pid_t ended = waitpid(child_, &status, WNOHANG);
    if (ended == child_ || ended < 0) {
      if (ended == child_) finished.exit_status = ExitStatus(status);
      ReadAvailable(messages_, &messages);
      break;
    }
    pollfd readable{messages_, POLLIN, 0};
    poll(&readable, 1, 100);
  }
  finished.err = messages.substr(std::min(filled_, messages.size()));
  return finished;
}

}  // namespace kestrune::test
