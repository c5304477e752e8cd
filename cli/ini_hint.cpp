// The hint for an INI file named without a folder.
#include "cli/ini_hint.h"

namespace kestrune {
namespace {

#ifdef _WIN32
constexpr char kHere[] = ".\\";
#else
constexpr char kHere[] = "./";
#endif

}  // namespace

std::string IniHint(const std::string& ini_path, Platform& platform) {
  if (ini_path.empty() || ini_path.find_first_of("\\/:") != std::string::npos) return "";
  FileInfo here;
  const std::string in_this_folder = ".\\" + ini_path;
  if (!platform.Query(in_this_folder.c_str(), &here) || here.kind != FileKind::kRegular) return "";
  return "hint: an INI file named without a folder is looked for in the Windows folder; write " +
         std::string(kHere) + ini_path + " for the one in the current folder";
}

}  // namespace kestrune
