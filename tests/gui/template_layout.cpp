// Test helper: a dialog as GTK shows it, checked against the template it was made from.
#include "tests/gui/template_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>

namespace kestrune::test {
namespace {

int ToolkitId(int template_id) { return template_id == kTemplateOkId ? wxID_OK : template_id; }

bool ShowsText(TemplateControlKind kind) {
  return kind != TemplateControlKind::kField && kind != TemplateControlKind::kIcon;
}

// Buttons and fields are left below GTK's roomy minimum height; their text must still fit.
void ExpectTextFits(wxWindow& control) {
  const wxSize best = control.GetBestSize();
  const bool is_field = dynamic_cast<wxTextCtrl*>(&control) != nullptr;
  if (!is_field) {
    EXPECT_GE(control.GetSize().x, best.x);
  }
  if (is_field || dynamic_cast<wxButton*>(&control) != nullptr) {
    EXPECT_GE(control.GetSize().y, control.GetTextExtent("Ag").y + 8);
  } else {
    EXPECT_GE(control.GetSize().y, best.y);
  }
}

bool Before(int start, int length, int other_start) { return start + length <= other_start; }
bool Overlap(int start, int length, int other_start, int other_length) {
  return start < other_start + other_length && other_start < start + length;
}

// Squeezed to fit the screen, a control still lies right of those left of it in its row,
// and below those above it in its column.
void ExpectTemplateOrder(const wxWindowList& children, const DialogTemplate& dialog_template,
                         int i) {
  const TemplateControl& control = dialog_template.controls[i];
  const wxRect rect = children[static_cast<size_t>(i)]->GetRect();
  for (int j = 0; j < dialog_template.control_count; ++j) {
    const TemplateControl& other = dialog_template.controls[j];
    const wxRect other_rect = children[static_cast<size_t>(j)]->GetRect();
    if (Before(other.x, other.width, control.x) &&
        Overlap(other.y, other.height, control.y, control.height)) {
      EXPECT_GT(rect.GetLeft(), other_rect.GetRight()) << "right of control " << j;
    }
    if (Before(other.y, other.height, control.y) &&
        Overlap(other.x, other.width, control.x, control.width)) {
      EXPECT_GT(rect.GetTop(), other_rect.GetBottom()) << "below control " << j;
    }
  }
}

}  // namespace

void ExpectNothingCut(wxWindow& window) {
  const wxRect area = wxDisplay(&window).GetClientArea();
  EXPECT_TRUE(area.Contains(window.GetScreenRect()))
      << "window " << window.GetScreenRect().width << "x" << window.GetScreenRect().height << " on "
      << area.width << "x" << area.height;
  std::vector<wxRect> placed;
  for (wxWindow* control : window.GetChildren()) {
    SCOPED_TRACE(testing::Message() << "control \"" << control->GetLabel().utf8_str() << "\"");
    ExpectTextFits(*control);
    for (const wxRect& other : placed) EXPECT_FALSE(control->GetRect().Intersects(other));
    placed.push_back(control->GetRect());
    EXPECT_TRUE(wxRect(window.GetClientSize()).Contains(control->GetRect()));
  }
}

void ExpectBoxLaidOut(wxDialog& box, bool with_icon) {
  ExpectNothingCut(box);
  const wxWindowList& children = box.GetChildren();
  ASSERT_FALSE(children.empty());
  wxWindow& first = *children.front();
  EXPECT_EQ(dynamic_cast<wxStaticBitmap*>(&first) != nullptr, with_icon);
  const wxWindow* ok = box.FindWindow(wxID_OK);
  ASSERT_NE(ok, nullptr);
  const int right_margin = box.GetClientSize().x - ok->GetRect().GetRight() - 1;
  EXPECT_EQ(first.GetPosition().x, right_margin);
  wxClientDC device(&box);
  device.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).Bold());
  const wxSize caption = device.GetTextExtent(box.GetTitle());
  EXPECT_GE(box.GetClientSize().x, caption.x + 4 * caption.y);
}

void ExpectLaidOutAsTemplate(wxDialog& dialog, const DialogTemplate& dialog_template) {
  EXPECT_EQ(dialog.GetTitle(), dialog_template.caption);
  const wxWindowList& children = dialog.GetChildren();
  ASSERT_EQ(children.size(), static_cast<size_t>(dialog_template.control_count));
  const wxSize area = wxDisplay(&dialog).GetClientArea().GetSize();
  const wxSize whole =
      dialog.ConvertDialogToPixels(wxSize(dialog_template.width, dialog_template.height));
  const bool squeezed = whole.x > area.x || whole.y > area.y;
  for (int i = 0; i < dialog_template.control_count; ++i) {
    const TemplateControl& expected = dialog_template.controls[i];
    wxWindow& control = *children[static_cast<size_t>(i)];
    SCOPED_TRACE(testing::Message() << "control " << i << " \"" << expected.text << "\"");
    if (expected.id != kTemplateStaticId) {
      EXPECT_EQ(control.GetId(), ToolkitId(expected.id));
    }
    if (ShowsText(expected.kind)) {
      EXPECT_EQ(control.GetLabel(), wxString::FromUTF8(expected.text));
    }
    if (squeezed) {
      ExpectTemplateOrder(children, dialog_template, i);
      continue;
    }
    EXPECT_EQ(control.GetPosition(), dialog.ConvertDialogToPixels(wxPoint(expected.x, expected.y)));
    const wxSize template_size =
        dialog.ConvertDialogToPixels(wxSize(expected.width, expected.height));
    EXPECT_GE(control.GetSize().x, template_size.x);
    EXPECT_GE(control.GetSize().y, template_size.y);
  }
  ExpectNothingCut(dialog);
}

}  // namespace kestrune::test
