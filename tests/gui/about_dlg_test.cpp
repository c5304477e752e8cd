// The About box: its template, its texts, and OK and Esc closing it.
#include "app/wx/about_dlg.h"

#include <gtest/gtest.h>

#include <wx/statbmp.h>

#include "res/dialog_templates.h"
#include "res/version.h"
#include "tests/gui/dialog_driver.h"
#include "tests/gui/modal_guard.h"
#include "tests/gui/template_layout.h"

namespace kestrune::test {
namespace {

TEST(AboutBox, IsLaidOutAsItsTemplateWithEveryTextWhole) {
  CAboutDlg about(nullptr);
  about.Show();
  ExpectLaidOutAsTemplate(about, kIDD_ABOUTBOX);
  EXPECT_TRUE(wxStaticCast(about.GetChildren().front(), wxStaticBitmap)->GetBitmap().IsOk());
  EXPECT_EQ(TextOf(about, about.GetChildren()[1]->GetId()), KESTRUNE_ABOUT_VERSION);
}

// At GDK_SCALE=2 the icon was the 32-pixel image doubled.
TEST(AboutBox, ItsIconIsDrawnFromAnImageOfAsManyPixelsAsTheScreenGivesIt) {
  CAboutDlg about(nullptr);
  about.Show();
  const wxBitmap icon = wxStaticCast(about.GetChildren().front(), wxStaticBitmap)->GetBitmap();
  const double scale = about.GetDPIScaleFactor();
  EXPECT_EQ(icon.GetScaleFactor(), scale);
  EXPECT_EQ(icon.GetSize(), wxSize(32, 32) * scale);
  EXPECT_EQ(icon.GetLogicalSize(), wxSize(32, 32));
}

// With no Cancel button, the toolkit turns Esc into a press of OK.
TEST(AboutBox, OkAndEscapeCloseIt) {
  CAboutDlg about(nullptr);
  EXPECT_EQ(RunModalWith(about, [&] { Click(about, wxID_OK); }), wxID_OK);
  EXPECT_EQ(RunModalWith(about, [&] { PressKey(about, WXK_ESCAPE); }), wxID_OK);
}

}  // namespace
}  // namespace kestrune::test
