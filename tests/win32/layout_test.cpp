// The two dialog templates as Windows builds them: controls, kinds, styles, texts, tab order, places in dialog units, font.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/win32/convert_dialog_fixture.h"

namespace kestrune::test {
namespace {

struct ControlSpec {
  int id;
  const char* kind;  // window class
  DWORD type;        // the style's type bits: button type, static alignment
  DWORD flags;       // style bits that must be set
  const char* text;  // null: not checked
  RECT units;        // left, top, width, height in dialog units
};

constexpr DWORD kPush = BS_PUSHBUTTON;
constexpr DWORD kEditFlags = ES_AUTOHSCROLL | WS_TABSTOP;

const ControlSpec kMainControls[] = {
    {IDC_INPUT_FILE, "Edit", 0, kEditFlags, nullptr, {51, 13, 150, 14}},
    {IDC_BROWSE_INPUT, "Button", kPush, WS_TABSTOP, "Browse", {209, 14, 50, 14}},
    {IDC_BACKUP, "Button", BS_AUTOCHECKBOX, WS_TABSTOP, "Create backup files", {7, 55, 77, 10}},
    {IDC_EMBEDDED, "Button", BS_AUTOCHECKBOX, WS_TABSTOP, "Convert embeded schematics", {7, 69, 109, 10}},
    {IDC_CONVERT, "Button", kPush, WS_TABSTOP, "Convert", {209, 54, 50, 14}},
    {IDOK, "Button", BS_DEFPUSHBUTTON, WS_TABSTOP, "Exit", {209, 73, 50, 14}},
    {-1, "Static", SS_LEFT, WS_GROUP, "Input (v7.1)", {7, 15, 37, 8}},
    {-1, "Static", SS_LEFT, WS_GROUP, "INI File", {7, 36, 23, 8}},
    {IDC_INI_FILE, "Edit", 0, kEditFlags, nullptr, {51, 33, 150, 14}},
    {IDC_STATUS, "Static", SS_LEFT, WS_GROUP, "Status: IDLE", {7, 89, 252, 8}},
    {IDC_BROWSE_INI, "Button", kPush, WS_TABSTOP, "Browse", {209, 34, 50, 14}},
};

// The icon's size is the icon's own; only its place is the template's.
const ControlSpec kAboutControls[] = {
    {-1, "Static", SS_ICON, 0, nullptr, {11, 17, 0, 0}},
    {-1, "Static", SS_LEFT, 0, "KESTRUNE Version 1.0", {40, 10, 119, 8}},
    {-1, "Static", SS_LEFT, 0, nullptr, {40, 25, 160, 8}},
    {IDOK, "Button", BS_DEFPUSHBUTTON, WS_TABSTOP, "OK", {222, 7, 32, 14}},
    {-1, "Static", SS_CENTER, 0, nullptr, {7, 44, 247, 8}},
    {-1, "Static", SS_CENTER, 0, nullptr, {7, 52, 247, 26}},
    {-1, "Static", SS_CENTER, 0, nullptr, {7, 82, 247, 8}},
    {-1, "Static", SS_CENTER, 0, nullptr, {7, 90, 247, 8}},
    {-1, "Static", SS_CENTER, 0, nullptr, {7, 98, 247, 8}},
    {-1, "Static", SS_CENTER, 0, nullptr, {7, 106, 247, 8}},
    {-1, "Static", SS_CENTER, 0, nullptr, {7, 114, 247, 8}},
};

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

DWORD TypeBits(HWND window, DWORD style) {
  return ClassOf(window) == "Button" ? (style & BS_TYPEMASK)
         : ClassOf(window) == "Static" ? (style & SS_TYPEMASK)
                                       : 0;
}

// The dialog manager converts place and size each on its own, so their roundings add up.
RECT PixelsOf(HWND dialog, RECT units) {
  RECT place{units.left, units.top, units.right, units.bottom};
  MapDialogRect(dialog, &place);
  return RECT{place.left, place.top, place.left + place.right, place.top + place.bottom};
}

RECT PlaceInDialog(HWND dialog, HWND control) {
  RECT place;
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// Children in creation order, which is the template's order and so the tab order.
void ExpectControls(HWND dialog, const ControlSpec* specs, std::size_t count) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  ASSERT_EQ(children.size(), count);
  for (std::size_t i = 0; i < count; ++i) {
    const ControlSpec& spec = specs[i];
    const HWND control = children[i];
    SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(spec.id));
    const auto style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
    EXPECT_EQ(GetDlgCtrlID(control), spec.id);
    EXPECT_EQ(ClassOf(control), spec.kind);
    EXPECT_EQ(TypeBits(control, style), spec.type);
    EXPECT_EQ(style & spec.flags, spec.flags);
    EXPECT_TRUE(style & WS_VISIBLE);
    // A bordered edit field of a dialog for Windows 4.0 gets the sunken edge instead.
    if (spec.kind == std::string("Edit")) {
      EXPECT_TRUE((style & WS_BORDER) || (GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
    }
    if (spec.text != nullptr) {
      EXPECT_EQ(TextOf(control), spec.text);
    }
    const RECT expected = PixelsOf(dialog, spec.units);
    const RECT actual = PlaceInDialog(dialog, control);
    EXPECT_EQ(actual.left, expected.left) << Describe(actual) << " vs " << Describe(expected);
    EXPECT_EQ(actual.top, expected.top) << Describe(actual) << " vs " << Describe(expected);
    if (spec.units.right == 0) continue;
    EXPECT_EQ(actual.right, expected.right) << Describe(actual) << " vs " << Describe(expected);
    EXPECT_EQ(actual.bottom, expected.bottom) << Describe(actual) << " vs " << Describe(expected);
  }
}

void ExpectFrame(HWND dialog, int width_units, int height_units) {
  const auto style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
  const DWORD wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  EXPECT_EQ(style & wanted, wanted);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  RECT client;
  GetClientRect(dialog, &client);
  const RECT expected = PixelsOf(dialog, RECT{0, 0, width_units, height_units});
  EXPECT_EQ(client.right, expected.right);
  EXPECT_EQ(client.bottom, expected.bottom);
  LOGFONTA font{};
  ASSERT_TRUE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font));
  EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
  const HDC screen = GetDC(nullptr);
  EXPECT_EQ(font.lfHeight, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72));
  ReleaseDC(nullptr, screen);
}

using Templates = ConvertDialogTest;

TEST_F(Templates, TheMainDialogIsLaidOutAsDesigned) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(TextOf(dialog_), kMainCaption);
  ExpectFrame(dialog_, 266, 114);
  EXPECT_TRUE(GetWindowLongA(dialog_, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_EQ(GetWindow(dialog_, GW_OWNER), nullptr);
  ExpectControls(dialog_, kMainControls, std::size(kMainControls));
}

TEST_F(Templates, TabGoesThroughTheControlsInTemplateOrder) {
  ASSERT_NE(Open(), nullptr);
  const std::vector<int> expected = {IDC_BROWSE_INPUT, IDC_BACKUP, IDC_EMBEDDED, IDC_CONVERT, IDOK,
                                     IDC_INI_FILE,     IDC_BROWSE_INI, IDC_INPUT_FILE};
  std::vector<int> order;
  HWND at = GetDlgItem(dialog_, IDC_INPUT_FILE);
  for (std::size_t step = 0; step < expected.size(); ++step) {
    at = GetNextDlgTabItem(dialog_, at, FALSE);
    order.push_back(GetDlgCtrlID(at));
  }
  EXPECT_EQ(order, expected);
}

TEST_F(Templates, TheAboutBoxIsLaidOutAsDesigned) {
  ASSERT_NE(Open(), nullptr);
  PostMessageA(dialog_, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
  const HWND about = thread_->WaitForDialog("About KESTRUNE", dialog_);
  ASSERT_NE(about, nullptr);
  ExpectFrame(about, 261, 132);
  ExpectControls(about, kAboutControls, std::size(kAboutControls));
  ClickLater(about, IDOK);
  EXPECT_TRUE(WaitUntilGone(about));
}

}  // namespace
}  // namespace kestrune::test
