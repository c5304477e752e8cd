// One conversion run as an object: its tables, options and open files, its platform and status
// sink.
#pragma once

#include "engine/open_files.h"
#include "engine/platform/platform.h"
#include "engine/run_state.h"
#include "engine/status_sink.h"

namespace kestrune {

struct ConversionJob;

// Everything a Convert command works with. The object is a few megabytes and allocates
// nothing: a front end keeps one in static storage. Separate objects share nothing, so runs
// on separate files may go on at once on separate threads.
class ConversionEngine {
 public:
  // The platform and the sink must outlive the engine.
  ConversionEngine(Platform& platform, StatusSink& sink) : platform_(platform), sink_(sink) {}
  ConversionEngine(const ConversionEngine&) = delete;
  ConversionEngine& operator=(const ConversionEngine&) = delete;

  // The Convert command: loads the part libraries of iniPath, converts inputPath (and,
  // with embedded, the files its parts lead to), lists every visited file followed by
  // "Converted!" through ShowInfo, and ends with the idle status. backups and embedded:
  // zero off, else on. A path of more than 199 characters is refused, never cut.
  void RunConversion(const char* inputPath, const char* iniPath, int backups, int embedded);

  // The steps of a run, for callers that take them one at a time.
  // Empties the visited list and sets the two options.
  void StartRun(bool backups, bool embedded);
  // Rebuilds the part table from the libraries of iniPath, showing each step. Libraries
  // that cannot be read are passed over. Always returns 1.
  int LoadPartLibraries(const char* iniPath);
  // Converts the file that path names (at most 199 characters, relative names against the
  // current directory), unless this run has visited it already; the files its parts lead
  // to first, when nested conversion is on. Failures are shown through the sink; the file
  // then keeps its old contents under its own name.
  void ConvertFile(const char* path);
  // Every visited path, a line each, then "Converted!".
  const char* ClosingText();

  bool IsVisited(const char* path) const { return visited_.IsVisited(path); }
  const char* FindPart(const char* name) { return parts_.FindPart(name); }
  const VisitedFiles& visited() const { return visited_; }
  PartTable& parts() { return parts_; }

 private:
  enum class LoopEnd { kCopied, kAlreadyOld, kReadFailed };

  void Convert(ConversionJob& job);
  bool OpenInput(ConversionJob& job);
  bool CreateTemporary(ConversionJob& job);
  LoopEnd CopyLines(ConversionLevel& level, char* line);
  void FollowPart(const char* value, const char* line_end);
  void Finish(ConversionJob& job, LoopEnd end);
  void Abandon(ConversionJob& job, const char* error);

  static constexpr char kClosingWord[] = "Converted!";

  Platform& platform_;
  StatusSink& sink_;
  VisitedFiles visited_;
  PartTable parts_;
  bool create_backups_ = false;
  bool convert_embedded_ = false;
  OpenFiles open_files_;
  TextReader library_reader_;  // one library at a time
  char closing_text_[kVisitedRows * kPathBytes + sizeof kClosingWord] = {};
};

}  // namespace kestrune
