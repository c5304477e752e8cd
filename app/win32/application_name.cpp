// The application's name under which its settings live: the executable's file name without
// extension.
#include "app/win32/application_name.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace kestrune {

namespace {

// Beyond the longest path Windows takes (32767 characters), the buffer stops growing.
constexpr unsigned long kLongestPathBuffer = 1ul << 16;

}  // namespace

std::string ApplicationNameOf(const std::string& module_path) {
  const std::size_t folder_end = module_path.find_last_of("\\/:");
  std::string name =
      folder_end == std::string::npos ? module_path : module_path.substr(folder_end + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

// A path cut at the buffer's end would give a wrong name, so the buffer grows until it fits.
std::string WholeModulePath(const ModulePathReader& read) {
  for (unsigned long size = MAX_PATH + 1; size <= kLongestPathBuffer; size *= 2) {
    std::string path(size, '\0');
    const unsigned long length = read(&path[0], size);
    if (length == 0) break;
    if (length < size) return path.substr(0, length);
  }
  return std::string();
}

std::string RunningApplicationName() {
  return ApplicationNameOf(WholeModulePath(
      [](char* buffer, unsigned long size) { return GetModuleFileNameA(nullptr, buffer, size); }));
}

}  // namespace kestrune
