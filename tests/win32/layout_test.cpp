// The two dialog templates as Windows builds them, checked against res/KESTRUNE.rc: kinds, styles,
// texts, places, tab order, font.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <vector>

#include "res/dialog_templates.h"
#include "res/resource.h"
#include "tests/win32/convert_dialog_fixture.h"

namespace kestrune::test {
namespace {

// What the resource compiler makes of each kind of template control.
struct KindSpec {
  const char* window_class;
  DWORD type;   // the style's type bits: button type, static alignment
  DWORD flags;  // style bits that must be set
};

KindSpec SpecOf(TemplateControlKind kind) {
  switch (kind) {
    case TemplateControlKind::kField: return {"Edit", 0, ES_AUTOHSCROLL | WS_TABSTOP};
    case TemplateControlKind::kButton: return {"Button", BS_PUSHBUTTON, WS_TABSTOP};
    case TemplateControlKind::kDefaultButton: return {"Button", BS_DEFPUSHBUTTON, WS_TABSTOP};
    case TemplateControlKind::kCheckBox: return {"Button", BS_AUTOCHECKBOX, WS_TABSTOP};
    case TemplateControlKind::kLabel: return {"Static", SS_LEFT, WS_GROUP};
    case TemplateControlKind::kCentredLabel: return {"Static", SS_CENTER, WS_GROUP};
    case TemplateControlKind::kIcon: break;
  }
  return {"Static", SS_ICON, 0};
}

int WindowsId(int template_id) { return template_id == kTemplateOkId ? IDOK : template_id; }

std::string ClassOf(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

DWORD TypeBits(HWND window, DWORD style) {
  return ClassOf(window) == "Button"   ? (style & BS_TYPEMASK)
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
  return std::to_string(r.left) + "," + std::to_string(r.top) + " - " + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

LOGFONTA MessageFont() { return Metrics().lfMessageFont; }

// The text drawn in the control's font, wrapped at its width (less its check box and the half
// digit after it, when beside one), needs no more than its height.
void ExpectTextFits(HWND control, bool beside_box = false) {
  const std::string text = TextOf(control);
  RECT client;
  GetClientRect(control, &client);
  const HDC device = GetDC(control);
  const HGDIOBJ previous =
      SelectObject(device, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
  SIZE digit{};
  GetTextExtentPoint32A(device, "0", 1, &digit);
  if (beside_box) client.right -= GetSystemMetrics(SM_CXMENUCHECK) + digit.cx / 2;
  RECT needed{0, 0, client.right, 0};
  DrawTextA(device, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK);
  SelectObject(device, previous);
  ReleaseDC(control, device);
  EXPECT_LE(needed.right, client.right) << text;
  EXPECT_LE(needed.bottom, client.bottom) << text;
}

// Children in creation order, which is the template's order and so the tab order.
void ExpectControls(HWND dialog, const DialogTemplate& dialog_template) {
  const std::vector<HWND> children = ChildrenOf(dialog);
  ASSERT_EQ(children.size(), static_cast<std::size_t>(dialog_template.control_count));
  std::vector<RECT> placed;
  for (std::size_t i = 0; i < children.size(); ++i) {
    const TemplateControl& expected_control = dialog_template.controls[i];
    const KindSpec spec = SpecOf(expected_control.kind);
    const HWND control = children[i];
    SCOPED_TRACE("control " + std::to_string(i) + " \"" + expected_control.text + "\"");
    const auto style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
    EXPECT_EQ(GetDlgCtrlID(control), WindowsId(expected_control.id));
    EXPECT_EQ(ClassOf(control), spec.window_class);
    EXPECT_EQ(TypeBits(control, style), spec.type);
    EXPECT_EQ(style & spec.flags, spec.flags);
    EXPECT_TRUE(style & WS_VISIBLE);
    // A bordered edit field of a dialog for Windows 4.0 gets the sunken edge instead.
    if (expected_control.kind == TemplateControlKind::kField) {
      EXPECT_TRUE((style & WS_BORDER) || (GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
    }
    const RECT actual = PlaceInDialog(dialog, control);
    for (const RECT& other : placed) {
      RECT overlap;
      EXPECT_FALSE(IntersectRect(&overlap, &actual, &other))
          << Describe(actual) << " on " << Describe(other);
    }
    placed.push_back(actual);
    const RECT expected = PixelsOf(dialog, RECT{expected_control.x, expected_control.y,
                                                expected_control.width, expected_control.height});
    EXPECT_EQ(actual.left, expected.left) << Describe(actual) << " vs " << Describe(expected);
    EXPECT_EQ(actual.top, expected.top) << Describe(actual) << " vs " << Describe(expected);
    // The icon's size is the icon's own; only its place is the template's.
    if (expected_control.kind == TemplateControlKind::kIcon) continue;
    EXPECT_EQ(actual.right, expected.right) << Describe(actual) << " vs " << Describe(expected);
    EXPECT_EQ(actual.bottom, expected.bottom) << Describe(actual) << " vs " << Describe(expected);
    if (expected_control.kind != TemplateControlKind::kField) {
      EXPECT_EQ(TextOf(control), expected_control.text);
      ExpectTextFits(control);
    }
  }
}

void ExpectFrame(HWND dialog, const DialogTemplate& dialog_template) {
  EXPECT_EQ(TextOf(dialog), dialog_template.caption);
  const auto style = static_cast<DWORD>(GetWindowLongA(dialog, GWL_STYLE));
  const DWORD wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  EXPECT_EQ(style & wanted, wanted);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  RECT client;
  GetClientRect(dialog, &client);
  const RECT expected = PixelsOf(dialog, RECT{0, 0, dialog_template.width, dialog_template.height});
  EXPECT_EQ(client.right, expected.right);
  EXPECT_EQ(client.bottom, expected.bottom);
  LOGFONTA font{};
  ASSERT_TRUE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)),
                         sizeof font, &font));
  EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
  const HDC screen = GetDC(nullptr);
  // The template's 8 points, or the desktop's size when that is larger.
  const int points =
      std::max(8, MulDiv(std::abs(MessageFont().lfHeight), 72, GetDeviceCaps(screen, LOGPIXELSY)));
  EXPECT_EQ(font.lfHeight, -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72));
  ReleaseDC(nullptr, screen);
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// Each control of the dialog lies within its client area, apart from the others, and shows
// its text whole: wrapped when centred, a left-aligned label else whole or ending in an
// ellipsis; the window lies within the work area.
void ExpectNothingCut(HWND dialog, const DialogTemplate& dialog_template) {
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  RECT window;
  GetWindowRect(dialog, &window);
  EXPECT_TRUE(Inside(window, area)) << Describe(window) << " in " << Describe(area);
  RECT client;
  GetClientRect(dialog, &client);
  const std::vector<HWND> children = ChildrenOf(dialog);
  ASSERT_EQ(children.size(), static_cast<std::size_t>(dialog_template.control_count));
  std::vector<RECT> placed;
  for (std::size_t i = 0; i < children.size(); ++i) {
    const HWND control = children[i];
    SCOPED_TRACE("control " + std::to_string(i) + " \"" + TextOf(control) + "\"");
    const RECT place = PlaceInDialog(dialog, control);
    EXPECT_TRUE(Inside(place, client)) << Describe(place) << " in " << Describe(client);
    for (const RECT& other : placed) {
      RECT overlap;
      EXPECT_FALSE(IntersectRect(&overlap, &place, &other))
          << Describe(place) << " on " << Describe(other);
    }
    placed.push_back(place);
    const auto style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
    switch (dialog_template.controls[i].kind) {
      case TemplateControlKind::kButton:
      case TemplateControlKind::kDefaultButton:
      case TemplateControlKind::kCentredLabel: ExpectTextFits(control); break;
      case TemplateControlKind::kCheckBox: ExpectTextFits(control, true); break;
      case TemplateControlKind::kLabel:
        if (!(style & SS_ELLIPSISMASK)) ExpectTextFits(control);
        break;
      case TemplateControlKind::kField:
      case TemplateControlKind::kIcon: break;
    }
  }
}

// Narrows the desktop's work area from the right, until it goes.
class WorkAreaWidth {
 public:
  explicit WorkAreaWidth(int width) {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &saved_, 0);
    RECT narrower = saved_;
    narrower.right = std::min(narrower.right, narrower.left + width);
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &narrower, 0);
  }
  ~WorkAreaWidth() { SystemParametersInfoA(SPI_SETWORKAREA, 0, &saved_, 0); }
  WorkAreaWidth(const WorkAreaWidth&) = delete;
  WorkAreaWidth& operator=(const WorkAreaWidth&) = delete;

 private:
  RECT saved_{};
};

class Templates : public ConvertDialogTest {
 protected:
  // Opens the About box from the system menu, checks it against its template and closes it.
  void ExpectAboutBoxAsDesigned() {
    PostMessageA(dialog_, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    const HWND about = thread_->WaitForDialog(kIDD_ABOUTBOX.caption, dialog_);
    ASSERT_NE(about, nullptr);
    ExpectFrame(about, kIDD_ABOUTBOX);
    ExpectControls(about, kIDD_ABOUTBOX);
    ClickLater(about, IDOK);
    EXPECT_TRUE(WaitUntilGone(about));
  }
};

TEST_F(Templates, TheMainDialogIsLaidOutAsDesigned) {
  ASSERT_NE(Open(), nullptr);
  ExpectFrame(dialog_, kIDD_CONVERT_DIALOG);
  EXPECT_TRUE(GetWindowLongA(dialog_, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_EQ(GetWindow(dialog_, GW_OWNER), nullptr);
  ExpectControls(dialog_, kIDD_CONVERT_DIALOG);
  // A long path in the status line is shortened in the middle, an '&' shown as itself.
  const auto status =
      static_cast<DWORD>(GetWindowLongA(GetDlgItem(dialog_, IDC_STATUS), GWL_STYLE));
  EXPECT_EQ(status & (SS_ELLIPSISMASK | SS_NOPREFIX),
            static_cast<DWORD>(SS_PATHELLIPSIS | SS_NOPREFIX));
}

// From the first control, Tab visits every field, button and box after it in template order, then
// comes round to the first again.
TEST_F(Templates, TabGoesThroughTheControlsInTemplateOrder) {
  ASSERT_NE(Open(), nullptr);
  std::vector<int> expected;
  for (int i = 0; i < kIDD_CONVERT_DIALOG.control_count; ++i) {
    const TemplateControl& control = kIDD_CONVERT_DIALOG.controls[i];
    if (SpecOf(control.kind).flags & WS_TABSTOP) expected.push_back(WindowsId(control.id));
  }
  ASSERT_FALSE(expected.empty());
  expected.push_back(expected.front());
  expected.erase(expected.begin());
  std::vector<int> order;
  HWND at = GetDlgItem(dialog_, WindowsId(kIDD_CONVERT_DIALOG.controls[0].id));
  for (std::size_t step = 0; step < expected.size(); ++step) {
    at = GetNextDlgTabItem(dialog_, at, FALSE);
    order.push_back(GetDlgCtrlID(at));
  }
  EXPECT_EQ(order, expected);
}

TEST_F(Templates, TheAboutBoxIsLaidOutAsDesigned) {
  ASSERT_NE(Open(), nullptr);
  ExpectAboutBoxAsDesigned();
}

TEST_F(Templates, ALargeDesktopFontGrowsBothDialogsWithNothingClipped) {
  const DesktopFontSize large(&NONCLIENTMETRICSA::lfMessageFont, 14);
  ASSERT_NE(Open(), nullptr);
  ExpectFrame(dialog_, kIDD_CONVERT_DIALOG);
  ExpectControls(dialog_, kIDD_CONVERT_DIALOG);
  ExpectAboutBoxAsDesigned();
}

// A font so large that neither template fits the screen: the dialogs are arranged anew, on
// the whole screen and on one so narrow that the About box's centred lines wrap.
TEST_F(Templates, AHugeDesktopFontFitsBothDialogsToTheWorkAreaWithNothingCut) {
  const DesktopFontSize huge(&NONCLIENTMETRICSA::lfMessageFont, 26);
  for (const int work_area_width : {1024, 800}) {
    SCOPED_TRACE("work area " + std::to_string(work_area_width) + " pixels wide");
    const WorkAreaWidth narrow(work_area_width);
    ASSERT_NE(Open(), nullptr);
    ExpectNothingCut(dialog_, kIDD_CONVERT_DIALOG);
    PostMessageA(dialog_, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    const HWND about = thread_->WaitForDialog(kIDD_ABOUTBOX.caption, dialog_);
    ASSERT_NE(about, nullptr);
    ExpectNothingCut(about, kIDD_ABOUTBOX);
    ClickLater(about, IDOK);
    EXPECT_TRUE(WaitUntilGone(about));
    Cancel(dialog_);
    EXPECT_TRUE(Ended());
  }
}

}  // namespace
}  // namespace kestrune::test
