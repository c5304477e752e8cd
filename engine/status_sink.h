// The engine's only way to reach the user: status line, error box, closing box.
#pragma once

namespace kestrune {

// What became of one visited file.
enum class FileOutcome { kConverted, kAlreadyOld, kNotConverted };

// Implemented by each front end and given to the engine it reports for. Every call is
// synchronous and returns once its effect is complete.
class StatusSink {
 public:
  virtual ~StatusSink() = default;
  // Replaces the one-line status text and shows it before returning.
  virtual void SetStatus(const char* text) = 0;
  // Tells the user that work on a file stopped; returns once dismissed.
  virtual void ShowError(const char* text) = 0;
  // The system's own words for the failed call behind the error shown next ("No such file or
  // directory"), when the platform kept any. Front ends that show only the error need not
  // listen.
  virtual void ErrorReason(const char* /*reason*/) {}
  // Tells the user the run's outcome; returns once dismissed.
  virtual void ShowInfo(const char* text) = 0;
  // Tells what became of a file once work on it ended, after any error about it; once per
  // visited file. Front ends that only show the closing text need not listen.
  virtual void FileDone(const char* /*path*/, FileOutcome /*outcome*/) {}
};

}  // namespace kestrune
