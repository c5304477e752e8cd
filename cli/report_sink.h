// The plain report: each visited file and what became of it, errors as the shell's tools write
// them.
#pragma once

#include <string>

#include "cli/console_sink.h"
#include "cli/progress_line.h"

namespace kestrune {

// Standard output lists each file as its work ends ("PATH: converted", "PATH: already at
// 6.1, left unchanged", "PATH: not converted (message)") and each run's closing line;
// standard error has each error as "kestrune-cli: PATH: message". Quiet keeps the errors
// only. Statuses are left to the trace.
class ReportSink : public ConsoleSink {
 public:
  ReportSink(bool quiet, ProgressLine& progress) : quiet_(quiet), progress_(progress) {}

  void SetStatus(const char* /*text*/) override {}
  void ShowError(const char* text) override;
  void ShowInfo(const char* text) override;
  void FileDone(const char* path, FileOutcome outcome) override;

  // "N converted, M already at 6.1, K not converted", counting every file listed.
  void PrintSummary() const;

 private:
  void PrintLine(const std::string& line) const;

  bool quiet_;
  ProgressLine& progress_;
  // A file's own error is always the last one shown before its FileDone.
  std::string last_message_;
  int converted_ = 0;
  int already_old_ = 0;
  int not_converted_ = 0;
};

// An engine error: "ERROR: message!" and, on a second line, the path it is about, if any,
// or, after a message ending in ':', the path that message names.
struct EngineError {
  std::string path;
  std::string message;  // without "ERROR: " and "!", with a named path after its ':'
};
EngineError ParseEngineError(const char* text);
// "kestrune-cli: PATH: message", or "kestrune-cli: message" without a path.
std::string ErrorLine(const EngineError& error);

}  // namespace kestrune
