// Paths as this system names them.
#include "cli/native_path.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <climits>
#include <cstdlib>

#include "engine/platform/windows_path_on_posix.h"
#endif

namespace kestrune {

#ifdef _WIN32

std::string NativePath(const std::string& path) { return path; }

// Windows compares names ignoring letter case; symbolic links there are rare enough to be
// taken as names of their own.
std::string CanonicalName(const std::string& path) {
  char full[MAX_PATH * 4];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  std::string name = length > 0 && length < sizeof full ? std::string(full, length) : path;
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '/') c = '\\';
  }
  return name;
}

#else

std::string NativePath(const std::string& path) {
  char mapped[PATH_MAX];
  return MapWindowsPath(path.c_str(), mapped, sizeof mapped) ? std::string(mapped) : path;
}

std::string CanonicalName(const std::string& path) {
  const std::string mapped = NativePath(path);
  char resolved[PATH_MAX];
  if (realpath(mapped.c_str(), resolved) != nullptr) return resolved;
  const std::size_t slash = mapped.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : mapped.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? mapped : mapped.substr(slash + 1);
  if (realpath(folder.c_str(), resolved) == nullptr) return mapped;
  return std::string(resolved) + "/" + name;
}

#endif

}  // namespace kestrune
