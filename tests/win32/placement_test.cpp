// Where the dialogs open: the main dialog centred on the work area, the About box over it.
#include <gtest/gtest.h>

#include "res/dialog_templates.h"
#include "res/resource.h"
#include "tests/win32/convert_dialog_fixture.h"

namespace kestrune::test {
namespace {

using Placement = ConvertDialogTest;

void ExpectCentredOver(HWND window, const RECT& area) {
  RECT rect;
  ASSERT_TRUE(GetWindowRect(window, &rect));
  // Odd sizes halve with a pixel to spare either way.
  EXPECT_NEAR(rect.left + rect.right, area.left + area.right, 2);
  EXPECT_NEAR(rect.top + rect.bottom, area.top + area.bottom, 2);
}

TEST_F(Placement, TheMainDialogOpensCentredOnTheWorkAreaAndTheAboutBoxOverIt) {
  ASSERT_NE(Open(), nullptr);
  RECT work_area;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work_area, 0));
  ExpectCentredOver(dialog_, work_area);
  PostMessageA(dialog_, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
  const HWND about = thread_->WaitForDialog(kIDD_ABOUTBOX.caption, dialog_);
  ASSERT_NE(about, nullptr);
  RECT main_dialog;
  GetWindowRect(dialog_, &main_dialog);
  ExpectCentredOver(about, main_dialog);
  ClickLater(about, IDOK);
  EXPECT_TRUE(WaitUntilGone(about));
}

}  // namespace
}  // namespace kestrune::test
