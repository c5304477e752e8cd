// What the dialog program's command line asks for: the window (with a file for it), help or
// version.
#include "app/common/start_options.h"

#include <utility>

#include "res/version.h"

namespace kestrune {

namespace {

StartOptions UsageError(std::string message) {
  StartOptions refused;
  refused.action = StartOptions::Action::kUsageError;
  refused.error = std::move(message);
  return refused;
}

StartOptions WithAction(StartOptions::Action action) {
  StartOptions options;
  options.action = action;
  return options;
}

}  // namespace

StartOptions ParseStartOptions(const std::vector<std::string>& arguments) {
  StartOptions options;
  bool only_files = false;
  for (const std::string& argument : arguments) {
    const bool option = !only_files && argument.size() > 1 && argument[0] == '-';
    if (option && argument == "--") {
      only_files = true;
    } else if (option && argument == "--help") {
      return WithAction(StartOptions::Action::kPrintHelp);
    } else if (option && argument == "--version") {
      return WithAction(StartOptions::Action::kPrintVersion);
    } else if (option) {
      return UsageError("unknown option " + argument);
    } else if (options.input_file) {
      return UsageError("more than one file named");
    } else {
      options.input_file = argument;
    }
  }
  return options;
}

std::string StartHelpText() {
  return "Usage: KESTRUNE [--] [FILE]\n"
         "Opens the window that converts PSpice 7.1 schematics in place to release 6.1,\n"
         "with FILE in its input field and FILE's folder current when one is named.\n\n"
         "      --help     show this text\n"
         "      --version  show the version and licence\n\n" KESTRUNE_BUG_REPORT_LINE "\n";
}

}  // namespace kestrune
