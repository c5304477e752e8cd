// The main window's message box: its text, the stop icon for an error, and OK.
#include "app/wx/message_dlg.h"

#include <algorithm>

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

namespace kestrune {

namespace {

// The margin around the icon, the text and the button, in dialog units.
constexpr int kMarginUnits = 7;
// A title bar's buttons, with their padding, take about this many lines of text on either side.
constexpr int kTitleButtonLines = 3;

wxSize TextExtent(wxWindow& window, const wxString& text) {
  wxClientDC device(&window);
  device.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
  return device.GetMultiLineTextExtent(text);
}

// The least width of a box's client area for its caption to show whole: the caption's text
// in a bold font, with room on either side for the buttons of a title bar that centres it.
int CaptionRoom(wxDialog& box) {
  wxClientDC device(&box);
  device.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).Bold());
  const wxSize caption = device.GetTextExtent(box.GetTitle());
  return caption.x + 2 * kTitleButtonLines * caption.y;
}

}  // namespace

// A button of its own rather than a button sizer, whose own spacing would widen the margin.
void FitWithOkButton(wxDialog& box, wxBoxSizer* column, int margin) {
  auto* ok = new wxButton(&box, wxID_OK);
  ok->SetDefault();
  column->Add(ok, 0, wxALIGN_RIGHT | wxALL, margin);
  box.SetSizer(column);
  box.Fit();
  box.SetClientSize(std::max(box.GetClientSize().x, CaptionRoom(box)), box.GetClientSize().y);
}

MessageDlg::MessageDlg(wxWindow* owner, const wxString& text, MessageKind kind)
    : wxDialog(owner, wxID_ANY, kMessageCaption), m_message(text), m_kind(kind) {
  const int margin = ConvertDialogToPixels(wxSize(kMarginUnits, 0)).x;
  auto* message_row = new wxBoxSizer(wxHORIZONTAL);
  if (kind == MessageKind::kError) {
    message_row->Add(
        new wxStaticBitmap(this, wxID_ANY,
                           wxArtProvider::GetBitmapBundle(wxART_ERROR, wxART_MESSAGE_BOX)),
        0, wxRIGHT, margin);
  }
  auto* label = new wxStaticText(this, wxID_ANY, wxEmptyString);
  label->SetLabelText(text);  // an '&' in a path is no mnemonic
  message_row->Add(label, 1, wxALIGN_CENTRE_VERTICAL);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(message_row, 1, wxEXPAND | wxLEFT | wxTOP | wxRIGHT, margin);
  FitWithOkButton(*this, column, margin);
  CentreOnParent();
}

bool MessageDlg::Fits(wxWindow& owner, const wxString& text) {
  // Room is left for the margins, the icon and the frame.
  const wxSize room = wxDisplay(&owner).GetClientArea().GetSize() * 3 / 4;
  const wxSize extent = TextExtent(owner, text);
  return extent.x <= room.x && extent.y <= room.y;
}

}  // namespace kestrune
