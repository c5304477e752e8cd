// The line on a terminal that tells how many of the files found are done.
#pragma once

#include <cstddef>

namespace kestrune {

// True when standard error goes to a terminal, where a line rewritten in place makes sense.
bool StandardErrorIsTerminal();
// True when standard output and standard error both go to one terminal, where what is
// printed on both shows twice.
bool OutputAndErrorShareTerminal();

// Rewritten in place on standard error; cleared before anything else is printed, so that
// the reports and errors stay whole lines.
class ProgressLine {
 public:
  explicit ProgressLine(bool shown) : shown_(shown) {}
  void Show(std::size_t done, std::size_t found);
  void Clear();

 private:
  bool shown_;
  int width_ = 0;  // of the text now on the line
};

}  // namespace kestrune
