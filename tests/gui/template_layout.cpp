// Test helper: a dialog as GTK shows it, checked against the template it was made from.
#include "tests/gui/template_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include <wx/button.h>
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

}  // namespace

void ExpectLaidOutAsTemplate(wxDialog& dialog, const DialogTemplate& dialog_template) {
  EXPECT_EQ(dialog.GetTitle(), dialog_template.caption);
  const wxWindowList& children = dialog.GetChildren();
  ASSERT_EQ(children.size(), static_cast<size_t>(dialog_template.control_count));
  std::vector<wxRect> placed;
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
    EXPECT_EQ(control.GetPosition(), dialog.ConvertDialogToPixels(wxPoint(expected.x, expected.y)));
    const wxSize template_size =
        dialog.ConvertDialogToPixels(wxSize(expected.width, expected.height));
    EXPECT_GE(control.GetSize().x, template_size.x);
    EXPECT_GE(control.GetSize().y, template_size.y);
    ExpectTextFits(control);
    for (const wxRect& other : placed) EXPECT_FALSE(control.GetRect().Intersects(other));
    placed.push_back(control.GetRect());
    EXPECT_TRUE(wxRect(dialog.GetClientSize()).Contains(control.GetRect()));
  }
}

}  // namespace kestrune::test
