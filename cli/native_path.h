// Paths as this system names them: for showing the paths the program built, and for telling
// whether two paths name one file.
#pragma once

#include <string>

namespace kestrune {

// The path the platform opens for a Windows-form path: on POSIX mapped as the engine maps it
// (".\KESTRUNE.slb" becomes "./KESTRUNE.slb", a drive letter its Wine folder); on Windows the
// path itself.
std::string NativePath(const std::string& path);

// One name per file: the native path made absolute with symbolic links resolved, the letter
// case of Windows names folded. A file that does not exist is named by its resolved folder
// and its own name.
std::string CanonicalName(const std::string& path);

}  // namespace kestrune
