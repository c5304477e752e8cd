// The message box for a text too long for a plain one: it fits the screen and scrolls its text.
#pragma once

#include <wx/dialog.h>

#include "app/common/convert_dialog_view.h"

class wxTextCtrl;

namespace kestrune {

// Captioned kMessageCaption, with the stop icon for an error; as large as the text needs but
// never larger than the work area of the owner's display, with OK below the text.
class LongMessageDlg final : public wxDialog {
 public:
  LongMessageDlg(wxWindow* owner, const wxString& text, MessageKind kind);

  wxString GetMessage() const;

 private:
  wxTextCtrl* m_text;
};

}  // namespace kestrune
