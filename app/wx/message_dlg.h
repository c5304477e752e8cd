// The main window's message box: its text, the stop icon for an error, and OK.
#pragma once

#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/string.h>

#include "app/common/convert_dialog_view.h"

namespace kestrune {

// Captioned kMessageCaption, modal to owner: the text beside the stop icon for an error, beside
// nothing for a notice (no room is kept for an icon it does not show), OK below; wide enough
// for its caption in the title bar beside the window's buttons.
class MessageDlg final : public wxDialog {
 public:
  MessageDlg(wxWindow* owner, const wxString& text, MessageKind kind);

  // True when the text fits this box on owner's display, within three quarters of its work
  // area; else a LongMessageDlg shows it, scrolled.
  static bool Fits(wxWindow& owner, const wxString& text);

  const wxString& GetMessage() const { return m_message; }
  MessageKind GetKind() const { return m_kind; }

 private:
  wxString m_message;
  MessageKind m_kind;
};

// Ends a box's layout: column gets the box's OK button, the default, at its right, and
// becomes the box's sizer; the box is fitted to it, and widened where its caption needs it.
void FitWithOkButton(wxDialog& box, wxBoxSizer* column, int margin);

}  // namespace kestrune
