// The batch front end's arguments.
#include "cli/command_line.h"

namespace kestrune {
namespace {

CommandLine UsageError(std::string message) {
  CommandLine parsed;
  parsed.action = CommandLine::Action::kUsageError;
  parsed.error = std::move(message);
  return parsed;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine parsed;
  bool options_end = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (options_end || argument.empty() || argument[0] != '-' || argument == "-") {
      parsed.files.push_back(argument);
    } else if (argument == "--") {
      options_end = true;
    } else if (argument == "--help" || argument == "-h") {
      parsed.action = CommandLine::Action::kHelp;
      return parsed;
    } else if (argument == "--version") {
      parsed.action = CommandLine::Action::kVersion;
      return parsed;
    } else if (argument == "--backup") {
      parsed.backups = true;
    } else if (argument == "--embedded") {
      parsed.embedded = true;
    } else if (argument == "--trace") {
      parsed.trace = true;
    } else if (argument == "--ini") {
      if (++i == arguments.size()) return UsageError("option --ini needs a path");
      parsed.ini_path = arguments[i];
    } else if (argument.rfind("--ini=", 0) == 0) {
      parsed.ini_path = argument.substr(6);
    } else {
      return UsageError("unknown option " + argument);
    }
  }
  if (parsed.files.empty()) return UsageError("no schematic file named");
  return parsed;
}

}  // namespace kestrune
