// The box for long texts: a hundred files' closing text fits the work area with OK on it.
#include "app/win32/long_message_box.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "tests/win32/dialog_driver.h"

namespace kestrune::test {
namespace {

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

RECT ScreenRectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

int CaptionWidth(HWND box) {
  const LOGFONTA caption_font = Metrics().lfCaptionFont;
  const HFONT font = CreateFontIndirectA(&caption_font);
  const HDC device = GetDC(box);
  const HGDIOBJ previous = SelectObject(device, font);
  SIZE caption{};
  GetTextExtentPoint32A(device, kMessageCaption, static_cast<int>(sizeof kMessageCaption) - 1,
                        &caption);
  SelectObject(device, previous);
  ReleaseDC(box, device);
  DeleteObject(font);
  return caption.cx;
}

TEST(LongMessageBox, AHundredFilesClosingTextFitsTheWorkAreaWithOkOnIt) {
  std::string text;
  for (int index = 0; index < 100; ++index) {
    text += "C:\\PROJECTS\\AMPLIFIER\\STAGE" + std::to_string(index) + "\\PREAMP.SCH\n";
  }
  text += "Finished with errors!";
  for (const MessageKind kind : {MessageKind::kNotice, MessageKind::kError}) {
    DialogThread thread([&] { ShowLongMessageBox(nullptr, text.c_str(), kind); });
    const HWND box = thread.WaitForDialog(kMessageCaption);
    ASSERT_NE(box, nullptr);
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_TRUE(Inside(ScreenRectOf(box), area));
    const HWND ok = GetDlgItem(box, IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(IsWindowVisible(ok));
    EXPECT_EQ(TextOf(ok), "OK");
    RECT client{};
    GetClientRect(box, &client);
    MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_TRUE(Inside(ScreenRectOf(ok), client));
    EXPECT_TRUE(Inside(ScreenRectOf(GetDlgItem(box, kLongMessageTextId)), client));
    std::string shown = ItemText(box, kLongMessageTextId);
    for (std::size_t at = shown.find("\r\n"); at != std::string::npos;
         at = shown.find("\r\n", at)) {
      shown.erase(at, 1);
    }
    EXPECT_EQ(shown, text);
    const HWND icon = GetDlgItem(box, kLongMessageIconId);
    if (kind == MessageKind::kError) {
      ASSERT_NE(icon, nullptr);
      EXPECT_EQ(SendMessageA(icon, STM_GETICON, 0, 0),
                reinterpret_cast<LRESULT>(LoadIconA(nullptr, IDI_HAND)));
    } else {
      EXPECT_EQ(icon, nullptr);
    }
    Click(box, IDOK);
    EXPECT_TRUE(thread.WaitForEnd());
  }
}

// A closing text of short names under a large title font: the box is wide enough for its
// caption beside the close box.
TEST(LongMessageBox, ANarrowTextLeavesTheCaptionWhole) {
  const DesktopFontSize large(&NONCLIENTMETRICSA::lfCaptionFont, 26);
  std::string text;
  for (int index = 0; index < 20; ++index) text += "A.SCH\n";
  text += "Finished!";
  DialogThread thread([&] { ShowLongMessageBox(nullptr, text.c_str(), MessageKind::kNotice); });
  const HWND box = thread.WaitForDialog(kMessageCaption);
  ASSERT_NE(box, nullptr);
  RECT client{};
  GetClientRect(box, &client);
  EXPECT_GE(client.right, CaptionWidth(box) + GetSystemMetrics(SM_CXSIZE));
  Click(box, IDOK);
  EXPECT_TRUE(thread.WaitForEnd());
}

}  // namespace
}  // namespace kestrune::test
