// Files dropped on the main dialog: the INI field takes a drop on itself, the input field any
// other.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/win32/convert_dialog_fixture.h"

namespace kestrune::test {
namespace {

using FileDrop = ConvertDialogTest;

// What the shell hands a window that files are dropped on, at point in its client area.
HGLOBAL MakeDrop(POINT point, const std::vector<std::string>& files) {
  std::string names;
  for (const std::string& file : files) names += file + '\0';
  names += '\0';
  const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->pt = point;
  std::memcpy(drop + 1, names.data(), names.size());
  GlobalUnlock(memory);
  return memory;
}

POINT CentreOf(HWND dialog, int id) {
  RECT control{};
  GetWindowRect(GetDlgItem(dialog, id), &control);
  POINT centre{(control.left + control.right) / 2, (control.top + control.bottom) / 2};
  ScreenToClient(dialog, &centre);
  return centre;
}

void Drop(HWND dialog, POINT point, const std::vector<std::string>& files) {
  SendMessageA(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(point, files)), 0);
}

TEST_F(FileDrop, AFileDroppedOnTheIniFieldNamesTheIniFileAndElsewhereTheSchematic) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_NE(GetWindowLongA(dialog_, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
  const std::vector<std::string> files = {"C:\\MY WORK\\AMP.SCH", "C:\\MY WORK\\FILTER.SCH"};
  Drop(dialog_, CentreOf(dialog_, IDC_INI_FILE), files);
  EXPECT_EQ(ItemText(dialog_, IDC_INI_FILE), files[0]);
  EXPECT_EQ(ItemText(dialog_, IDC_INPUT_FILE), "");
  for (const POINT point :
       {CentreOf(dialog_, IDC_INPUT_FILE), CentreOf(dialog_, IDC_STATUS), POINT{2, 2}}) {
    SetItemText(dialog_, IDC_INPUT_FILE, "before");
    Drop(dialog_, point, files);
    EXPECT_EQ(ItemText(dialog_, IDC_INPUT_FILE), files[0]) << point.x << "," << point.y;
  }
  EXPECT_EQ(ItemText(dialog_, IDC_INI_FILE), files[0]);
}

}  // namespace
}  // namespace kestrune::test
