// The application's name under which its settings live: the executable's file name without
// extension.
#include "app/win32/application_name.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace kestrune {

std::string ApplicationNameOf(const std::string& module_path) {
  const std::size_t folder_end = module_path.find_last_of("\\/:");
  std::string name =
      folder_end == std::string::npos ? module_path : module_path.substr(folder_end + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

std::string RunningApplicationName() {
  char path[MAX_PATH + 1];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  // A path cut at the buffer's end would give a wrong name; it gives none instead.
  return length == 0 || length >= sizeof path ? std::string() : ApplicationNameOf(path);
}

}  // namespace kestrune
