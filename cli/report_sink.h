// The plain report: each file once with what became of it, errors as the shell's tools write
// them.
#pragma once

#include <optional>
#include <set>
#include <string>

#include "cli/console_sink.h"
#include "cli/progress_line.h"
#include "cli/reported_files.h"

namespace kestrune {

// An engine error: "ERROR: message!" and, on a second line, the path it is about, if any,
// or, after a message ending in ':', a path the message names.
struct EngineError {
  std::string path;
  std::string message;  // without "ERROR: " and "!"
  std::string named;    // the path after a message ending in ':'
};
EngineError ParseEngineError(const char* text);

struct ReportOptions {
  bool quiet = false;    // errors and warnings only
  bool dry_run = false;  // nothing is written: each file is told what would become of it
  // Standard output and standard error show on one terminal, where a file's error line is
  // all that needs saying of a file not converted.
  bool one_terminal = false;
  std::string ini_path;  // as written: an error about it names it so
  std::string ini_hint;  // said after an error about the INI file, unless empty
};

// Standard output lists each file as its work ends ("PATH: converted", "PATH: already at
// 6.1, left unchanged", "PATH: not converted (message)"; in a dry run "would be converted",
// "already at 6.1, would be left unchanged", "would not be converted (message)"), once per
// command line under the spelling it was first reported by, again only when a later visit
// ends better. Standard error has each error once, as "kestrune-cli: PATH: message: reason",
// the path as written, or in the platform's form where the program built it (a library's).
// Statuses are left to the trace.
class ReportSink : public ConsoleSink {
 public:
  ReportSink(const ReportOptions& options, ProgressLine& progress)
      : options_(options), progress_(progress) {}

  void SetStatus(const char* text) override;
  void ErrorReason(const char* reason) override;
  void ShowError(const char* text) override;
  void ShowInfo(const char* text) override;
  void FileDone(const char* path, FileOutcome outcome) override;

  // After the last Convert command: its closing line once, if any command ran and this is no
  // dry run ("Finished with errors!" when an error was shown, or other_errors); then, with
  // summary, "N converted, M already at 6.1, K not converted", each file counted once.
  void Finish(bool summary, bool other_errors);

 private:
  // An error waits for the next call: a FileDone makes it that file's, anything else shows
  // it as it is (an error about a library or the INI file).
  void ShowHeldError();
  // Prints an error line unless it was printed before.
  void PrintError(const std::string& line);
  void PrintLine(const std::string& line) const;
  std::string OutcomeText(FileOutcome outcome, const std::string& message) const;

  ReportOptions options_;
  ProgressLine& progress_;
  ReportedFiles files_;
  std::string reason_;  // for the error shown next
  struct HeldError {
    EngineError error;
    std::string reason;
  };
  std::optional<HeldError> held_;
  std::set<std::string> errors_printed_;
  bool command_ran_ = false;
};

}  // namespace kestrune
