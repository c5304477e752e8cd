// kestrune-cli: converts PSpice 7.1 schematics from the shell, one Convert command per file.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/console_sink.h"
#include "cli/input_files.h"
#include "cli/interrupt.h"
#include "cli/progress_line.h"
#include "cli/report_sink.h"
#include "engine/conversion_engine.h"
#include "engine/platform/dry_run_platform.h"

namespace {

constexpr int kExitConverted = 0;
constexpr int kExitErrorShown = 1;
constexpr int kExitUsage = 2;

}  // namespace

int main(int argc, char** argv) {
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

  kestrune::ProgressLine progress(!command.trace && !command.quiet &&
                                  kestrune::StandardErrorIsTerminal());
  kestrune::ReportSink report(command.quiet, progress);
  kestrune::TraceSink trace;
  kestrune::ConsoleSink& sink = command.trace ? static_cast<kestrune::ConsoleSink&>(trace) : report;
  static kestrune::DryRunPlatform dry_run(kestrune::SystemPlatform());
  kestrune::Platform& platform =
      command.dry_run ? static_cast<kestrune::Platform&>(dry_run) : kestrune::SystemPlatform();
  // Megabytes, and allocation-free: static storage, one engine for every file.
  static kestrune::ConversionEngine engine(platform, sink);
  kestrune::RemoveTemporariesOnInterrupt(engine);
  for (std::size_t done = 0; done < inputs.files.size(); ++done) {
    engine.RunConversion(inputs.files[done].c_str(), command.ini_path.c_str(),
                         command.backups ? 1 : 0, command.embedded ? 1 : 0);
    progress.Show(done + 1, inputs.files.size());
  }
  progress.Clear();
  if (inputs.folder_named && !command.trace) report.PrintSummary();
  const bool error_shown = sink.error_shown() || !inputs.errors.empty();
  return error_shown ? kExitErrorShown : kExitConverted;
}
