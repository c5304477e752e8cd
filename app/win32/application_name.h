// The application's name under which its settings live: the executable's file name without
// extension.
#pragma once

#include <functional>
#include <string>

namespace kestrune {

// "C:\Tools\KESTRUNE.EXE" gives "KESTRUNE"; only the last extension goes.
std::string ApplicationNameOf(const std::string& module_path);

// Reads a module's path into a buffer of size bytes as GetModuleFileNameA does: gives the
// length written, size when the path was cut, 0 on failure.
using ModulePathReader = std::function<unsigned long(char* buffer, unsigned long size)>;

// The whole path that read gives, however long; empty when it fails.
std::string WholeModulePath(const ModulePathReader& read);

// The application name of the running executable.
std::string RunningApplicationName();

}  // namespace kestrune
