// The line on a terminal that tells how many of the files found are done.
#include "cli/progress_line.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kestrune {

bool StandardErrorIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(fileno(stderr)) != 0;
#endif
}

bool OutputAndErrorShareTerminal() {
#ifdef _WIN32
  // A console program has one console.
  return _isatty(_fileno(stdout)) != 0 && _isatty(_fileno(stderr)) != 0;
#else
  struct stat out;
  struct stat err;
  return isatty(fileno(stdout)) != 0 && isatty(fileno(stderr)) != 0 &&
         fstat(fileno(stdout), &out) == 0 && fstat(fileno(stderr), &err) == 0 &&
         out.st_rdev == err.st_rdev;
#endif
}

void ProgressLine::Show(std::size_t done, std::size_t found) {
  if (!shown_) return;
  Clear();
  width_ = std::fprintf(stderr, "kestrune-cli: %zu of %zu files done", done, found);
  std::fflush(stderr);
}

// Spaces over the old text rather than an escape sequence, which not every console knows.
void ProgressLine::Clear() {
  if (width_ <= 0) return;
  std::fprintf(stderr, "\r%*s\r", width_, "");
  std::fflush(stderr);
  width_ = 0;
}

}  // namespace kestrune
