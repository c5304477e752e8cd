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
  std::vector<std::string> files;
  std::string error;  // for kUsageError
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace kestrune
