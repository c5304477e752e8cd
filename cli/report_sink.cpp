// The plain report of the batch front end.
#include "cli/report_sink.h"

#include <cstdio>

#include "cli/native_path.h"
#include "engine/conversion_engine.h"

namespace kestrune {
namespace {

constexpr char kErrorPrefix[] = "ERROR: ";

// The text without the engine's "ERROR: " and closing "!".
std::string PlainMessage(std::string text) {
  if (text.rfind(kErrorPrefix, 0) == 0) text.erase(0, sizeof kErrorPrefix - 1);
  if (!text.empty() && text.back() == '!') text.pop_back();
  return text;
}

// The message with the path it names, in the platform's form (a backup name the program
// built), and the system's reason.
std::string FullMessage(const EngineError& error, const std::string& reason) {
  std::string message = error.message;
  if (!error.named.empty()) message += " " + NativePath(error.named);
  if (!reason.empty()) message += ": " + reason;
  return message;
}

std::string ErrorLine(const std::string& path, const std::string& message) {
  return "kestrune-cli: " + (path.empty() ? std::string() : path + ": ") + message;
}

}  // namespace

// A first line that ends in ':' introduces what it names on the next line (a backup left
// behind), which then belongs to the message; any other second line is the file's path.
EngineError ParseEngineError(const char* text) {
  const std::string whole = text;
  const std::size_t line_end = whole.find('\n');
  EngineError error;
  error.message = PlainMessage(whole.substr(0, line_end));
  if (line_end == std::string::npos) return error;
  const std::string second = whole.substr(line_end + 1);
  if (!error.message.empty() && error.message.back() == ':') {
    error.named = second;
  } else {
    error.path = second;
  }
  return error;
}

void ReportSink::SetStatus(const char* /*text*/) { ShowHeldError(); }

void ReportSink::ErrorReason(const char* reason) { reason_ = reason; }

void ReportSink::ShowError(const char* text) {
  error_shown_ = true;
  ShowHeldError();
  held_ = HeldError{ParseEngineError(text), reason_};
  reason_.clear();
}

// The files' closing line waits for Finish.
void ReportSink::ShowInfo(const char* /*text*/) {
  ShowHeldError();
  command_ran_ = true;
}

// A file's own error is the last one shown before its FileDone, about its path or, when the
// path did not fit or the message names a backup, about none; it names the file as the
// file's line does.
void ReportSink::FileDone(const char* path, FileOutcome outcome) {
  const ReportedFiles::Visit visit = files_.Record(path, outcome);
  std::string message;
  if (held_ && !held_->error.path.empty() && held_->error.path != path) ShowHeldError();
  if (held_) {
    message = FullMessage(held_->error, held_->reason);
    held_.reset();
    PrintError(ErrorLine(visit.spelling, message));
  }
  if (!visit.news) return;
  if (outcome == FileOutcome::kNotConverted && !message.empty() && options_.one_terminal) return;
  PrintLine(visit.spelling + ": " + OutcomeText(outcome, message));
}

void ReportSink::Finish(bool summary, bool other_errors) {
  ShowHeldError();
  if (command_ran_ && !options_.dry_run) {
    PrintLine(error_shown_ || other_errors ? ConversionEngine::kFailedWord
                                           : ConversionEngine::kConvertedWord);
  }
  if (!summary) return;
  const char* const would = options_.dry_run ? "would be " : "";
  const char* const would_not = options_.dry_run ? "would not be" : "not";
  PrintLine(std::to_string(files_.Count(FileOutcome::kConverted)) + " " + would + "converted, " +
            std::to_string(files_.Count(FileOutcome::kAlreadyOld)) + " already at 6.1, " +
            std::to_string(files_.Count(FileOutcome::kNotConverted)) + " " + would_not +
            " converted");
}

// The INI path keeps the form it was written in; any other path here is one the program
// built, shown as the platform opens it.
void ReportSink::ShowHeldError() {
  if (!held_) return;
  const EngineError error = held_->error;
  const std::string message = FullMessage(error, held_->reason);
  held_.reset();
  const bool about_ini = !error.path.empty() && error.path == options_.ini_path;
  const bool built = !about_ini && !error.path.empty();
  PrintError(ErrorLine(built ? NativePath(error.path) : error.path, message));
  if (about_ini && !options_.ini_hint.empty()) PrintError("kestrune-cli: " + options_.ini_hint);
}

// Each Convert command loads the libraries again, and a nested file may fail for each file
// that leads to it: the same error is said once.
void ReportSink::PrintError(const std::string& line) {
  if (!errors_printed_.insert(line).second) return;
  progress_.Clear();
  std::fprintf(stderr, "%s\n", line.c_str());
}

std::string ReportSink::OutcomeText(FileOutcome outcome, const std::string& message) const {
  const bool dry = options_.dry_run;
  switch (outcome) {
    case FileOutcome::kConverted: return dry ? "would be converted" : "converted";
    case FileOutcome::kAlreadyOld:
      return dry ? "already at 6.1, would be left unchanged" : "already at 6.1, left unchanged";
    case FileOutcome::kNotConverted: break;
  }
  const std::string text = dry ? "would not be converted" : "not converted";
  return message.empty() ? text : text + " (" + message + ")";
}

void ReportSink::PrintLine(const std::string& line) const {
  if (options_.quiet) return;
  progress_.Clear();
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

}  // namespace kestrune
