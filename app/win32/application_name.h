// The application's name under which its settings live: the executable's file name without
// extension.
#pragma once

#include <string>

namespace kestrune {

// "C:\Tools\KESTRUNE.EXE" gives "KESTRUNE"; only the last extension goes.
std::string ApplicationNameOf(const std::string& module_path);

// The application name of the running executable.
std::string RunningApplicationName();

}  // namespace kestrune
