// The common file-open dialog of the two Browse buttons.
#include "app/win32/file_picker.h"

#include <commdlg.h>

#include <cstdio>

#include "app/common/convert_dialog_view.h"

namespace kestrune {
namespace {

// Room for the picked path: the picker refuses a longer one rather than cutting it.
constexpr std::size_t kPathCapacity = 1024;

// "SCH\0*.SCH\0All files (*.*)\0*.*\0\0": the extension's own pattern, then every file.
std::string FilterFor(const char* extension) {
  std::string filter = extension;
  filter += '\0';
  filter += "*.";
  filter += extension;
  filter += '\0';
  filter += kAllFilesFilterName;
  filter += '\0';
  filter += "*.*";
  filter += '\0';
  return filter;
}

}  // namespace

bool PickFile(HWND owner, const char* extension, std::string* path) {
  char name[kPathCapacity];
  std::snprintf(name, sizeof name, "*.%s", extension);
  const std::string filter = FilterFor(extension);
  OPENFILENAMEA request{};
  // The size of the structure that Windows 95 and NT 4 know, which every later one accepts.
  request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  request.hwndOwner = owner;
  request.lpstrFilter = filter.c_str();
  request.lpstrFile = name;
  request.nMaxFile = sizeof name;
  request.lpstrDefExt = extension;
  request.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  if (!GetOpenFileNameA(&request)) return false;
  *path = name;
  return true;
}

}  // namespace kestrune
