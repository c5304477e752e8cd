// The batch front end's arguments: what they ask for, or why they cannot be used.
#pragma once

#include <string>
#include <vector>

#include "res/defaults.h"

namespace kestrune {

struct CommandLine {
  enum class Action { kConvert, kHelp, kVersion, kUsageError };
  Action action = Action::kConvert;
  std::string ini_path = kDefaultIniPath;
  bool backups = false;
  bool embedded = false;
  bool trace = false;
  bool quiet = false;
  bool dry_run = false;
  bool recursive = false;
  std::vector<std::string> files;  // files and folders, as given
  std::string error;               // for kUsageError
};

// GNU conventions: options anywhere before "--", short ones grouped ("-be", "-iFILE"), long
// ones abbreviated to any unique prefix, values as "--ini PATH" or "--ini=PATH".
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// What --help and --version print.
std::string HelpText();
std::string VersionText();

}  // namespace kestrune
