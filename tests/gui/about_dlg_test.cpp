// The About box: its template, its texts, and OK and Esc closing it.
#include "app/wx/about_dlg.h"

#include <gtest/gtest.h>

#include <vector>

#include <wx/statbmp.h>

#include "tests/gui/dialog_driver.h"
#include "tests/gui/modal_guard.h"

namespace kestrune::test {
namespace {

struct TemplateControl {
  int x, y, width, height;
};

const std::vector<TemplateControl> kTemplate = {
    {11, 17, 21, 20},  {40, 10, 119, 8}, {40, 25, 160, 8},  {222, 7, 32, 14},
    {7, 44, 247, 8},   {7, 52, 247, 26}, {7, 82, 247, 8},   {7, 90, 247, 8},
    {7, 98, 247, 8},   {7, 106, 247, 8}, {7, 114, 247, 8},
};

TEST(AboutBox, ControlsSitAtTheirTemplatePositionsWithEveryTextWhole) {
  CAboutDlg about(nullptr);
  about.Show();
  EXPECT_EQ(about.GetTitle(), "About KESTRUNE");
  const wxWindowList& children = about.GetChildren();
  ASSERT_EQ(children.size(), kTemplate.size());
  size_t index = 0;
  for (wxWindow* control : children) {
    const TemplateControl& expected = kTemplate[index++];
    SCOPED_TRACE(control->GetLabel().utf8_str());
    EXPECT_EQ(control->GetPosition(), about.ConvertDialogToPixels(wxPoint(expected.x, expected.y)));
    const wxSize template_size = about.ConvertDialogToPixels(wxSize(expected.width, expected.height));
    EXPECT_GE(control->GetSize().x, std::max(template_size.x, control->GetBestSize().x));
    EXPECT_GE(control->GetSize().y, template_size.y);
    EXPECT_GE(control->GetSize().y, control->GetTextExtent(control->GetLabel()).y);
  }
  EXPECT_TRUE(wxStaticCast(children.front(), wxStaticBitmap)->GetBitmap().IsOk());
  EXPECT_EQ(TextOf(about, children[1]->GetId()), "KESTRUNE Version 1.0");
  EXPECT_EQ(children[3]->GetId(), wxID_OK);
  EXPECT_EQ(TextOf(about, wxID_OK), "OK");
}

// With no Cancel button, the toolkit turns Esc into a press of OK.
TEST(AboutBox, OkAndEscapeCloseIt) {
  CAboutDlg about(nullptr);
  EXPECT_EQ(RunModalWith(about, [&] { Click(about, wxID_OK); }), wxID_OK);
  EXPECT_EQ(RunModalWith(about, [&] { PressKey(about, WXK_ESCAPE); }), wxID_OK);
}

}  // namespace
}  // namespace kestrune::test
