// The main window's message box: its text, the stop icon for an error, and OK.
#pragma once

#include <wx/dialog.h>
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

// The least width of a box's client area for its caption to show whole: the caption's text
// in a bold font, with room on either side for the buttons of a title bar that centres it.
int CaptionRoom(wxDialog& box);

}  // namespace kestrune
