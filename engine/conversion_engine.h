// One conversion run as an object: its tables, options and open files, its platform and status
// sink.
#pragma once

#include "engine/kept_libraries.h"
#include "engine/open_files.h"
#include "engine/platform/platform.h"
#include "engine/run_order.h"
#include "engine/run_state.h"
#include "engine/status_sink.h"

namespace kestrune {

struct ConversionJob;

// Everything a Convert command works with. The object is a few megabytes and allocates
// nothing: a front end keeps one in static storage. Separate objects share nothing, so runs
// on separate files may go on at once on separate threads.
class ConversionEngine {
 public:
  // The platform and the sink must outlive the engine, and so must backups where given: no
  // Convert command then removes or replaces a backup recorded there by an earlier one, of
  // this engine or another. Without it, only those of the same command are kept apart.
  ConversionEngine(Platform& platform, StatusSink& sink) : platform_(platform), sink_(sink) {}
  ConversionEngine(Platform& platform, StatusSink& sink, RunBackups& backups)
      : platform_(platform), sink_(sink), backups_(&backups) {}
  ConversionEngine(const ConversionEngine&) = delete;
  ConversionEngine& operator=(const ConversionEngine&) = delete;

  // The Convert command: loads the part libraries of iniPath, converts inputPath (and,
  // with embedded, the files its parts lead to), lists every visited file followed by
  // "Converted!", or "Finished with errors!" once an error was shown, through ShowInfo, and
  // ends with the idle status. backups and embedded: zero off, else on. A path of more than
  // 199 characters is refused, never cut; so is an empty input path.
  void RunConversion(const char* inputPath, const char* iniPath, int backups, int embedded);

  // The steps of a run, for callers that take them one at a time.
  // Empties the visited list (and the engine's own record of backups) and sets the two
  // options.
  void StartRun(bool backups, bool embedded);
  // Rebuilds the part table from the libraries of iniPath, showing each step. An INI file or
  // library that cannot be read, and parts beyond the table's rows, are passed over; with
  // nested conversion on, each is shown as an error. Always returns 1.
  int LoadPartLibraries(const char* iniPath);
  // Converts the file that path names (at most 199 characters, relative names against the
  // current directory) from 7.1 to 6.1, unless this run has visited it already; the files
  // its parts lead to first, when nested conversion is on, whatever the file's version.
  // A file at 6.1 is left alone. Failures, a file that is no 7.1 schematic among them, are
  // shown through the sink, each with the path; the file then keeps its old contents.
  // Each visited file's outcome is told through the sink's FileDone.
  void ConvertFile(const char* path);
  // Every visited path, a line each, then "Converted!" or "Finished with errors!".
  const char* ClosingText();

  // Removes the temporary file of each conversion in progress, leaving every input as it
  // is: for a signal handler, or another thread, that then ends the process. A conversion
  // that reaches its temporary file afterwards waits for that end.
  void RemoveTemporariesNow() { open_files_.RemoveTemporariesNow(platform_); }

  // Asks the run in progress, and every later one, to stop: it creates no temporary file
  // from now on, and each file in progress is given up at its next step (between two
  // buffers, before its swap) in silence: its temporary file removed, its input as it was,
  // no error, no FileDone, no closing message. A swap already begun is completed. Safe in a
  // signal handler and on any thread.
  void RequestStop() { open_files_.RequestStop(); }
  bool StopRequested() const { return open_files_.StopRequested(); }
  // True when the last run was cut short by a stop: it told its sink nothing more from then.
  bool Stopped() const { return stopped_; }

  // The closing text's last line: every file done, or an error shown.
  static constexpr char kConvertedWord[] = "Converted!";
  static constexpr char kFailedWord[] = "Finished with errors!";

  // From now on each run tells order before it reads a file and once its own is written, so
  // that runs of other engines can go on beside it as if they came before or after it.
  void KeepOrder(RunOrder& order) { order_ = &order; }

  bool IsVisited(const char* path) const { return visited_.IsVisited(path); }
  const char* FindPart(const char* name) { return parts_.FindPart(name); }
  const VisitedFiles& visited() const { return visited_; }
  PartTable& parts() { return parts_; }

 private:
  enum class LoopEnd { kCopied, kAlreadyOld, kReadFailed, kNotNew, kSetupOpen, kStopped };
  // The first version marker a file holds decides what it is.
  enum class Version { kUnknown, kNew, kOld };

  FileOutcome Convert(ConversionJob& job);
  bool OpenInput(ConversionJob& job);
  bool CreateTemporary(ConversionJob& job);
  LoopEnd CopyLines(ConversionLevel& level, char* line);
  static LoopEnd CopyEnd(bool read_failed, Version version, bool copying);
  void FollowPart(const char* value, const char* line_end);
  FileOutcome Finish(ConversionJob& job, LoopEnd end);
  void Abandon(ConversionJob& job, const char* error, bool call_failed);
  // True once a stop is requested; from then on the run is cut short.
  bool StopReached();
  // Shows text, then, unless path is null, a line feed and the path it is about.
  void ShowError(const char* text, const char* path = nullptr);
  // ShowError for an error that a failed platform call caused: the sink hears the system's
  // reason first, if the platform kept one since the last ForgetFailure.
  void ShowFailure(const char* text, const char* path = nullptr);
  // ShowError after the sink hears reason, unless that is empty.
  void ShowReasoned(const char* reason, const char* text, const char* path);
  // Drops any failure reason kept so far, before a step whose errors are to carry only
  // their own.
  void ForgetFailure() { platform_.TakeFailureReason(nullptr, 0); }

  Platform& platform_;
  StatusSink& sink_;
  VisitedFiles visited_;
  CommandBackups command_backups_;
  RunBackups* backups_ = &command_backups_;
  RunOrder* order_ = nullptr;
  PartTable parts_;
  bool create_backups_ = false;
  bool convert_embedded_ = false;
  bool error_shown_ = false;
  bool stopped_ = false;
  OpenFiles open_files_;
  TextReader library_reader_;     // one library at a time
  KeptLibraries kept_libraries_;  // the last load, for the next to keep
  char error_text_[kErrorBytes] = {};
  char closing_text_[kVisitedRows * kPathBytes + sizeof kFailedWord] = {};
};

}  // namespace kestrune
