// Test helper: runs the built kestrune-cli in a folder and captures its exit status and output.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"

extern char** environ;

namespace kestrune::test {

struct CliResult {
  int exit_status = -1;  // 128 + signal number when the program was killed
  int signal = 0;        // the signal that killed it, 0 when it exited
  std::string out;
  std::string err;
};

// Everything a command-line test needs: a working folder for the program, a Wine prefix of
// its own (so that no "C:\" path reaches the developer's real one) and files for the output.
class CliSandbox {
 public:
  CliSandbox() {
    std::filesystem::create_directory(work());
    std::filesystem::create_directory(wine_prefix());
  }

  std::filesystem::path work() const { return root_.path() / "work"; }
  std::filesystem::path wine_prefix() const { return root_.path() / "wine"; }

  // Runs the program with exactly these arguments (no shell), in work(), stdin empty; the
  // variables given ("NAME=value") go before the test's own. address_space limits the
  // program's memory (bytes), as prlimit --as does.
  CliResult Run(const std::vector<std::string>& arguments,
                const std::vector<std::string>& variables = {},
                rlim_t address_space = RLIM_INFINITY) const {
    return Launch(arguments, variables, false, nullptr, address_space);
  }

  // As Run, as a user without rights to root's files where the tests run as root (nobody).
  CliResult RunWithoutRights(const std::vector<std::string>& arguments) const {
    return Launch(arguments, {}, true, nullptr, RLIM_INFINITY);
  }

  // As Run, with standard output and standard error both on one new pseudo-terminal: out is
  // what the terminal shows, line by line, as a user sees it; err is empty.
  CliResult RunOnTerminal(const std::vector<std::string>& arguments) const {
    Terminal terminal;
    terminal.master = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal.master >= 0 && grantpt(terminal.master) == 0 && unlockpt(terminal.master) == 0) {
      terminal.side = open(ptsname(terminal.master), O_RDWR | O_NOCTTY);
    }
    CliResult result;
    if (terminal.side >= 0) result = Launch(arguments, {}, false, &terminal, RLIM_INFINITY);
    if (terminal.side >= 0) close(terminal.side);
    if (terminal.master >= 0) close(terminal.master);
    return result;
  }

 private:
  // The two ends of a pseudo-terminal: the program writes to side, the test reads master.
  struct Terminal {
    int master = -1;
    int side = -1;
  };

  // With a terminal, both outputs go to its side, and its master is read until the program
  // has closed the side.
  CliResult Launch(const std::vector<std::string>& arguments,
                   const std::vector<std::string>& variables, bool without_rights,
                   Terminal* terminal, rlim_t address_space) const {
    const std::string out_file = root_.PathOf("stdout");
    const std::string err_file = root_.PathOf("stderr");
    const std::string folder = work().string();
    const bool drop_rights = without_rights && geteuid() == 0;
    std::vector<std::string> environment = Environment();
    environment.insert(environment.begin(), variables.begin(), variables.end());
    std::vector<char*> argv = Pointers(arguments, KESTRUNE_CLI_PATH);
    std::vector<char*> envp = Pointers(environment, nullptr);

    const pid_t child = fork();
    if (child == 0) {
      // Only async-signal-safe calls from here on.
      const int in = open("/dev/null", O_RDONLY);
      const int out = terminal != nullptr
                          ? terminal->side
                          : open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err = terminal != nullptr
                          ? terminal->side
                          : open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) {
        _exit(126);
      }
      if (drop_rights &&
          (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
        _exit(125);
      }
      const rlimit limit{address_space, address_space};
      if (chdir(folder.c_str()) != 0 || setrlimit(RLIMIT_AS, &limit) != 0) _exit(126);
      execve(KESTRUNE_CLI_PATH, argv.data(), envp.data());
      _exit(127);
    }
    CliResult result;
    if (terminal != nullptr) {
      close(terminal->side);
      terminal->side = -1;
      result.out = ShownOnTerminal(ReadUntilClosed(terminal->master));
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return result;
    result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    if (terminal == nullptr) {
      result.out = ReadWholeFile(out_file);
      result.err = ReadWholeFile(err_file);
    }
    return result;
  }

  // A pseudo-terminal's other end reads as failing once no process holds the terminal open.
  static std::string ReadUntilClosed(int terminal) {
    std::string bytes;
    char chunk[4096];
    for (;;) {
      const ssize_t got = read(terminal, chunk, sizeof chunk);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return bytes;
      bytes.append(chunk, static_cast<std::size_t>(got));
    }
  }

  // The lines a terminal shows for bytes: a carriage return goes back to the line's start,
  // where later text overwrites, and blanks at a line's end are not seen.
  static std::string ShownOnTerminal(const std::string& bytes) {
    std::string shown;
    std::string line;
    std::size_t column = 0;
    for (const char c : bytes) {
      if (c == '\r') {
        column = 0;
      } else if (c == '\n') {
        line.erase(line.find_last_not_of(' ') + 1);
        shown += line + "\n";
        line.clear();
        column = 0;
      } else {
        if (column < line.size()) {
          line[column] = c;
        } else {
          line += c;
        }
        ++column;
      }
    }
    return line.empty() ? shown : shown + line;
  }

  static constexpr uid_t kNobody = 65534;  // nobody, and nogroup too

  // The test's own environment with WINEPREFIX pointing into the sandbox.
  std::vector<std::string> Environment() const {
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
      if (std::strncmp(*variable, "WINEPREFIX=", 11) != 0) variables.emplace_back(*variable);
    }
    variables.push_back("WINEPREFIX=" + wine_prefix().string());
    return variables;
  }

  // A null-terminated array of the texts, led by first unless it is null.
  static std::vector<char*> Pointers(const std::vector<std::string>& texts, const char* first) {
    std::vector<char*> pointers;
    if (first != nullptr) pointers.push_back(const_cast<char*>(first));
    for (const std::string& text : texts) pointers.push_back(const_cast<char*>(text.c_str()));
    pointers.push_back(nullptr);
    return pointers;
  }

  ScratchDir root_;
};

// The names in a folder, sorted.
inline std::vector<std::string> FolderListing(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace kestrune::test
