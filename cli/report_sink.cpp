// The plain report of the batch front end.
#include "cli/report_sink.h"

#include <cstdio>

namespace kestrune {
namespace {

constexpr char kErrorPrefix[] = "ERROR: ";

// The text without the engine's "ERROR: " and closing "!".
std::string PlainMessage(std::string text) {
  if (text.rfind(kErrorPrefix, 0) == 0) text.erase(0, sizeof kErrorPrefix - 1);
  if (!text.empty() && text.back() == '!') text.pop_back();
  return text;
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
    error.message += " " + second;
  } else {
    error.path = second;
  }
  return error;
}

std::string ErrorLine(const EngineError& error) {
  if (error.path.empty()) return "kestrune-cli: " + error.message;
  return "kestrune-cli: " + error.path + ": " + error.message;
}

void ReportSink::ShowError(const char* text) {
  error_shown_ = true;
  const EngineError error = ParseEngineError(text);
  last_message_ = error.message;
  progress_.Clear();
  std::fprintf(stderr, "%s\n", ErrorLine(error).c_str());
}

// Only the closing line: the files were listed as their work ended.
void ReportSink::ShowInfo(const char* text) {
  const std::string closing = text;
  PrintLine(closing.substr(closing.rfind('\n') + 1));
}

void ReportSink::FileDone(const char* path, FileOutcome outcome) {
  switch (outcome) {
    case FileOutcome::kConverted:
      ++converted_;
      PrintLine(std::string(path) + ": converted");
      break;
    case FileOutcome::kAlreadyOld:
      ++already_old_;
      PrintLine(std::string(path) + ": already at 6.1, left unchanged");
      break;
    case FileOutcome::kNotConverted:
      ++not_converted_;
      PrintLine(std::string(path) + ": not converted (" + last_message_ + ")");
      break;
  }
}

void ReportSink::PrintSummary() const {
  PrintLine(std::to_string(converted_) + " converted, " + std::to_string(already_old_) +
            " already at 6.1, " + std::to_string(not_converted_) + " not converted");
}

void ReportSink::PrintLine(const std::string& line) const {
  if (quiet_) return;
  progress_.Clear();
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

}  // namespace kestrune
