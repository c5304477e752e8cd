// What the dialog program's command line asks for: the window (with a file for it), help or
// version.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kestrune {

struct StartOptions {
  enum class Action { kOpenWindow, kPrintHelp, kPrintVersion, kUsageError };
  Action action = Action::kOpenWindow;
  // The FILE named, for the input field, exactly as given (relative to the start folder).
  std::optional<std::string> input_file;
  // What was wrong, for kUsageError.
  std::string error;
};

// Reads the arguments after the program's name: "--help", "--version", or at most one FILE
// (after "--" it may begin with '-').
StartOptions ParseStartOptions(const std::vector<std::string>& arguments);

// What "KESTRUNE --help" prints.
std::string StartHelpText();

// Exit statuses of a run that opens no window.
constexpr int kStartExitSuccess = 0;
constexpr int kStartExitUsage = 2;

}  // namespace kestrune
