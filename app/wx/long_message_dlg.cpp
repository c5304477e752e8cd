// The message box for a text too long for a plain one: it fits the screen and scrolls its text.
#include "app/wx/long_message_dlg.h"

#include <algorithm>

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>

#include "app/wx/message_dlg.h"

namespace kestrune {

namespace {

// The margin around the icon, the text and the button, in dialog units.
constexpr int kMarginUnits = 7;

// What the whole text needs: its widest line and all its lines, with room for the scroll bars.
wxSize TextExtent(wxWindow& window, const wxString& text) {
  int width = 0;
  int height = 0;
  wxClientDC device(&window);
  device.SetFont(window.GetFont());
  device.GetMultiLineTextExtent(text, &width, &height);
  const int line = window.GetCharHeight();
  return wxSize(width + 3 * line, height + 2 * line);
}

}  // namespace

LongMessageDlg::LongMessageDlg(wxWindow* owner, const wxString& text, MessageKind kind)
    : wxDialog(owner, wxID_ANY, kMessageCaption, wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
  const int margin = ConvertDialogToPixels(wxSize(kMarginUnits, 0)).x;
  m_text = new wxTextCtrl(this, wxID_ANY, text, wxDefaultPosition, wxDefaultSize,
                          wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);
  m_text->SetInitialSize(TextExtent(*m_text, text));
  auto* message_row = new wxBoxSizer(wxHORIZONTAL);
  if (kind == MessageKind::kError) {
    message_row->Add(new wxStaticBitmap(this, wxID_ANY,
                                        wxArtProvider::GetBitmap(wxART_ERROR, wxART_MESSAGE_BOX)),
                     0, wxLEFT | wxTOP, margin);
  }
  message_row->Add(m_text, 1, wxEXPAND | wxLEFT | wxTOP | wxRIGHT, margin);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(message_row, 1, wxEXPAND);
  FitWithOkButton(*this, column, margin);
  // The text gives way: the box shrinks to the work area, the text scrolls and OK stays.
  m_text->SetMinSize(wxSize(-1, -1));
  const wxRect area = wxDisplay(owner != nullptr ? owner : this).GetClientArea();
  wxSize size = GetSize();
  size.DecTo(area.GetSize());
  SetSize(size);
  Layout();
  CentreOnScreen();
}

wxString LongMessageDlg::GetMessage() const { return m_text->GetValue(); }

}  // namespace kestrune
