// kestrune-cli: converts PSpice 7.1 schematics from the shell, one Convert command per file.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/console_sink.h"
#include "cli/file_batch.h"
#include "cli/ini_hint.h"
#include "cli/input_files.h"
#include "cli/interrupt.h"
#include "cli/progress_line.h"
#include "cli/report_sink.h"
#include "engine/platform/dry_run_platform.h"

namespace {

constexpr int kExitConverted = 0;
constexpr int kExitErrorShown = 1;
constexpr int kExitUsage = 2;

// What stopped the program, for the exception in flight.
const char* FailureText() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return "not enough memory";
  } catch (const std::exception& failure) {
    return failure.what();
  } catch (...) {
    return "unexpected failure";
  }
}

int Convert(int argc, char** argv) {
  using kestrune::CommandLine;
  const CommandLine command =
      kestrune::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  switch (command.action) {
    case CommandLine::Action::kHelp:
      std::fputs(kestrune::HelpText().c_str(), stdout);
      return kExitConverted;
    case CommandLine::Action::kVersion:
      std::fputs(kestrune::VersionText().c_str(), stdout);
      return kExitConverted;
    case CommandLine::Action::kUsageError:
      std::fprintf(stderr, "kestrune-cli: %s\nTry 'kestrune-cli --help'.\n", command.error.c_str());
      return kExitUsage;
    case CommandLine::Action::kConvert: break;
  }
  const kestrune::InputFiles inputs = kestrune::ExpandInputs(command.files, command.recursive);
  for (const std::string& error : inputs.errors)
    std::fprintf(stderr, "kestrune-cli: %s\n", error.c_str());
  for (const std::string& warning : inputs.warnings)
    std::fprintf(stderr, "kestrune-cli: %s\n", warning.c_str());
  // Read, and warned about, in a dry run too.
  const int jobs = kestrune::JobsFromEnvironment();

  static kestrune::DryRunPlatform dry_run(kestrune::SystemPlatform());
  kestrune::Platform& platform =
      command.dry_run ? static_cast<kestrune::Platform&>(dry_run) : kestrune::SystemPlatform();
  kestrune::ProgressLine progress(!command.trace && !command.quiet &&
                                  kestrune::StandardErrorIsTerminal());
  kestrune::ReportOptions report_options;
  report_options.quiet = command.quiet;
  report_options.dry_run = command.dry_run;
  report_options.one_terminal = kestrune::OutputAndErrorShareTerminal();
  report_options.ini_path = command.ini_path;
  report_options.ini_hint = kestrune::IniHint(command.ini_path, platform);
  kestrune::ReportSink report(report_options, progress);
  kestrune::TraceSink trace;
  kestrune::ConsoleSink& sink = command.trace ? static_cast<kestrune::ConsoleSink&>(trace) : report;
  kestrune::RemoveTemporariesOnInterrupt();
  kestrune::BatchOptions options;
  options.ini_path = command.ini_path;
  options.backups = command.backups;
  options.embedded = command.embedded;
  // A dry run's files in memory are one table, not to be changed from several threads.
  options.jobs = command.dry_run ? 1 : jobs;
  kestrune::ConvertFiles(inputs.files, options, platform, sink, progress);
  progress.Clear();
  if (kestrune::Interrupted()) {
    std::fflush(stdout);
    kestrune::EndInterrupted();
  }
  // Several files, from a folder or a shell's pattern, are summed up.
  const bool several = inputs.folder_named || command.files.size() > 1;
  if (!command.trace) report.Finish(several, !inputs.errors.empty());
  const bool error_shown = sink.error_shown() || !inputs.errors.empty();
  return error_shown ? kExitErrorShown : kExitConverted;
}

}  // namespace

// No exception leaves the program: the runs in progress have stopped by the time one gets
// here, or have their temporary files removed now; one line tells what happened.
int main(int argc, char** argv) {
  try {
    return Convert(argc, argv);
  } catch (...) {
    kestrune::RemoveWatchedTemporaries();
    std::fflush(stdout);
    std::fprintf(stderr, "kestrune-cli: stopped: %s\n", FailureText());
    std::fflush(stderr);
    std::_Exit(kExitErrorShown);
  }
}
