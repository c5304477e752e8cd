// Makes a dialog-unit template readable on GTK, whose controls need more room than Windows ones.
#include "app/wx/dialog_layout.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/settings.h>
#include <wx/textctrl.h>

namespace kestrune {

namespace {

// Room that GTK (Adwaita) puts around the text of a button (4 px padding, 1 px border,
// above and below) and of a text field (1 px border above and below, a little air).
constexpr int kButtonFrameHeight = 10;
constexpr int kFieldFrameHeight = 8;

// GTK's minimum heights for buttons and fields (34 px) are mostly padding: their text
// needs far less, and growing the template's 14-unit controls that much would make the
// two fields, and the buttons beside them, overlap.
int HeightForText(wxWindow& control) {
  if (auto* button = dynamic_cast<wxButton*>(&control)) {
    return button->GetTextExtent(button->GetLabelText()).y + kButtonFrameHeight;
  }
  if (dynamic_cast<wxTextCtrl*>(&control) != nullptr) {
    return control.GetCharHeight() + kFieldFrameHeight;
  }
  return control.GetBestSize().y;
}

wxSize NeededSize(wxWindow& control) {
  wxSize size = control.GetSize();
  // Fields scroll, so only fixed labels widen their control.
  if (dynamic_cast<wxTextCtrl*>(&control) == nullptr) {
    size.x = std::max(size.x, control.GetBestSize().x);
  }
  size.y = std::max(size.y, HeightForText(control));
  return size;
}

// The margin the template leaves right of and below its controls, kept when growing.
wxSize TemplateMargin(wxDialog& dialog) { return dialog.ConvertDialogToPixels(wxSize(7, 7)); }

// A desktop font larger than the template's gives every control that size, and places them
// anew in dialog units of the larger font: the window grows with the text it shows.
void FollowDesktopFont(wxDialog& dialog, const DialogTemplate& dialog_template) {
  const int desktop_size = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).GetPointSize();
  if (desktop_size <= dialog.GetFont().GetPointSize()) return;
  wxFont larger = dialog.GetFont();
  larger.SetPointSize(desktop_size);
  dialog.SetFont(larger);
  const wxWindowList& children = dialog.GetChildren();
  for (int i = 0; i < dialog_template.control_count && i < static_cast<int>(children.size()); ++i) {
    const TemplateControl& control = dialog_template.controls[i];
    children[static_cast<size_t>(i)]->SetFont(larger);
    children[static_cast<size_t>(i)]->SetSize(
        wxRect(dialog.ConvertDialogToPixels(wxPoint(control.x, control.y)),
               dialog.ConvertDialogToPixels(wxSize(control.width, control.height))));
  }
}

}  // namespace

void FitTemplateToToolkit(wxDialog& dialog, const DialogTemplate& dialog_template) {
  FollowDesktopFont(dialog, dialog_template);
  // The template's own size was converted before its font applied, so convert it again.
  wxSize client =
      dialog.ConvertDialogToPixels(wxSize(dialog_template.width, dialog_template.height));
  const wxSize margin = TemplateMargin(dialog);
  for (wxWindow* control : dialog.GetChildren()) {
    control->SetSize(NeededSize(*control));
    const wxRect area = control->GetRect();
    client.x = std::max(client.x, area.GetRight() + 1 + margin.x);
    client.y = std::max(client.y, area.GetBottom() + 1 + margin.y);
  }
  dialog.SetClientSize(client);
}

}  // namespace kestrune
