// The line on a terminal that tells how many of the files found are done.
#include "cli/progress_line.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
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
