// The system menu's About item, the About box, the window icons and the drag icon of the main
// dialog.
#include <gtest/gtest.h>

#include <string>

#include "res/dialog_templates.h"
#include "res/resource.h"
#include "res/string_table.h"
#include "res/version.h"
#include "tests/win32/convert_dialog_fixture.h"

namespace kestrune::test {
namespace {

using SystemMenu = ConvertDialogTest;

std::string MenuText(HMENU menu, int position) {
  char text[128] = "";
  GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
  return text;
}

HICON Icon128() { return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)); }

TEST_F(SystemMenu, EndsWithASeparatorAndTheAboutItem) {
  ASSERT_NE(Open(), nullptr);
  const HMENU menu = GetSystemMenu(dialog_, FALSE);
  ASSERT_NE(menu, nullptr);
  const int count = GetMenuItemCount(menu);
  ASSERT_GE(count, 2);
  EXPECT_EQ(MenuText(menu, count - 1), IDS_ABOUTBOX_TEXT);
  EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
  EXPECT_TRUE(GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR);
  // The system's own items stay, Close among them.
  EXPECT_NE(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
}

// The system keeps the low four bits of a menu command for itself.
TEST_F(SystemMenu, TheAboutItemOpensTheAboutBoxModallyAndOkOrEscCloseIt) {
  ASSERT_NE(Open(), nullptr);
  for (const WPARAM command : {WPARAM{IDM_ABOUTBOX}, WPARAM{IDM_ABOUTBOX | 0x3}}) {
    for (const bool by_escape : {false, true}) {
      PostMessageA(dialog_, WM_SYSCOMMAND, command, 0);
      const HWND about = thread_->WaitForDialog(kIDD_ABOUTBOX.caption, dialog_);
      ASSERT_NE(about, nullptr);
      EXPECT_FALSE(IsWindowEnabled(dialog_));
      if (by_escape) {
        PressKey(GetDlgItem(about, IDOK), VK_ESCAPE);
      } else {
        ClickLater(about, IDOK);
      }
      EXPECT_TRUE(WaitUntilGone(about));
      EXPECT_TRUE(IsWindowEnabled(dialog_));
    }
  }
  // Other commands keep their default processing: Close closes.
  PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(Ended());
}

TEST_F(SystemMenu, TheAboutBoxShowsNameVersionAndIcon) {
  ASSERT_NE(Open(), nullptr);
  PostMessageA(dialog_, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
  const HWND about = thread_->WaitForDialog(kIDD_ABOUTBOX.caption, dialog_);
  ASSERT_NE(about, nullptr);
  bool has_title = false;
  HICON icon = nullptr;
  for (HWND child = GetWindow(about, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    has_title = has_title || TextOf(child) == KESTRUNE_ABOUT_VERSION;
    if (const auto shown = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0)))
      icon = shown;
  }
  EXPECT_TRUE(has_title);
  EXPECT_EQ(icon, Icon128());
  EXPECT_EQ(ItemText(about, IDOK), "OK");
  EXPECT_TRUE(SendMessageA(GetDlgItem(about, IDOK), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
  ClickLater(about, IDOK);
  EXPECT_TRUE(WaitUntilGone(about));
}

TEST_F(SystemMenu, TheWindowAndDragIconsAreIcon128) {
  ASSERT_NE(Open(), nullptr);
  const HICON icon = Icon128();
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dialog_, WM_GETICON, ICON_BIG, 0)), icon);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dialog_, WM_GETICON, ICON_SMALL, 0)), icon);
  EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(dialog_, WM_QUERYDRAGICON, 0, 0)), icon);
}

}  // namespace
}  // namespace kestrune::test
