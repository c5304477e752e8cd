// Makes a dialog-unit template readable on GTK at any font size and fits it to the screen.
#include "app/wx/dialog_layout.h"

#include <vector>

#include <wx/button.h>
#include <wx/control.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/textwrapper.h>

#include "app/common/template_arrangement.h"

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

// A text broken into lines no wider than a width, at spaces where it can be.
class LineBreaker final : public wxTextWrapper {
 public:
  wxString Break(wxWindow& window, const wxString& text, int width) {
    lines_.clear();
    Wrap(&window, text, width);
    return lines_;
  }

 protected:
  void OnOutputLine(const wxString& line) override { lines_ += line; }
  void OnNewLine() override { lines_ += '\n'; }

 private:
  wxString lines_;
};

int WrappedHeight(wxWindow& label, const wxString& text, int width) {
  wxClientDC device(&label);
  device.SetFont(label.GetFont());
  return device.GetMultiLineTextExtent(LineBreaker().Break(label, text, width)).y;
}

ControlNeeds NeedsOf(wxWindow& control, TemplateControlKind kind) {
  ControlNeeds needs;
  // Fields scroll, so only fixed texts ask for width.
  needs.whole.width = kind == TemplateControlKind::kField ? 0 : control.GetBestSize().x;
  needs.whole.height = HeightForText(control);
  if (kind == TemplateControlKind::kCentredLabel) {
    const wxString text = wxControl::RemoveMnemonics(control.GetLabel());
    needs.height_at_width = [&control, text](int width) {
      return WrappedHeight(control, text, width);
    };
  }
  return needs;
}

// A label given less than its text: a centred one wraps, another ends in an ellipsis.
void ShortenToFit(wxWindow& control, TemplateControlKind kind, const PixelRect& place) {
  auto* label = dynamic_cast<wxStaticText*>(&control);
  if (label == nullptr || label->GetBestSize().x <= place.width) return;
  const wxString text = label->GetLabelText();
  if (kind == TemplateControlKind::kCentredLabel) {
    label->SetLabelText(LineBreaker().Break(*label, text, place.width));
  } else {
    wxClientDC device(label);
    device.SetFont(label->GetFont());
    label->SetLabelText(wxControl::Ellipsize(text, device, wxELLIPSIZE_MIDDLE, place.width,
                                             wxELLIPSIZE_FLAGS_EXPAND_TABS));
  }
}

// A desktop font larger than the template's gives every control that size: the dialog
// units, and so the window, grow with the text it shows.
void FollowDesktopFont(wxDialog& dialog) {
  const int desktop_size = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).GetPointSize();
  if (desktop_size <= dialog.GetFont().GetPointSize()) return;
  wxFont larger = dialog.GetFont();
  larger.SetPointSize(desktop_size);
  dialog.SetFont(larger);
  for (wxWindow* control : dialog.GetChildren()) control->SetFont(larger);
}

// The client area the display's work area leaves room for, beside the window's frame.
PixelSize LargestClient(wxDialog& dialog) {
  const wxSize frame = dialog.GetSize() - dialog.GetClientSize();
  const wxSize area = wxDisplay(&dialog).GetClientArea().GetSize() - frame;
  return PixelSize{area.x, area.y};
}

}  // namespace

void FitTemplateToToolkit(wxDialog& dialog, const DialogTemplate& dialog_template) {
  FollowDesktopFont(dialog);
  const wxWindowList& children = dialog.GetChildren();
  const auto count = static_cast<size_t>(dialog_template.control_count);
  if (children.size() != count) return;  // not made from this template
  std::vector<ControlNeeds> needs;
  for (size_t i = 0; i < count; ++i) {
    needs.push_back(NeedsOf(*children[i], dialog_template.controls[i].kind));
  }
  const wxSize base = dialog.ConvertDialogToPixels(wxSize(4, 8));
  const Arrangement arranged =
      ArrangeTemplate(dialog_template, needs, PixelSize{base.x, base.y}, LargestClient(dialog));
  for (size_t i = 0; i < count; ++i) {
    const PixelRect& place = arranged.controls[i];
    ShortenToFit(*children[i], dialog_template.controls[i].kind, place);
    children[i]->SetSize(place.x, place.y, place.width, place.height);
  }
  dialog.SetClientSize(arranged.client.width, arranged.client.height);
}

}  // namespace kestrune
