// Status sinks of the batch front end: what they share, and the trace of every call.
#pragma once

#include <cstdio>
#include <string>

#include "engine/status_sink.h"

namespace kestrune {

// A sink that remembers whether an error was shown, for the exit status.
class ConsoleSink : public StatusSink {
 public:
  bool error_shown() const { return error_shown_; }

 protected:
  bool error_shown_ = false;
};

// Every call as one line on standard output: its name, a tab, the escaped text.
class TraceSink : public ConsoleSink {
 public:
  void SetStatus(const char* text) override;
  void ShowError(const char* text) override;
  void ShowInfo(const char* text) override;
};

// The text with '\' as "\\", line feed "\n", carriage return "\r", tab "\t" and every
// other byte below 0x20 or above 0x7E as "\xHH".
std::string EscapeForTrace(const char* text);

}  // namespace kestrune
