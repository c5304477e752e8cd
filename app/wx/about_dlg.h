// The About box: the program's name, version and terms, closed by OK or Esc.
#pragma once

#include <wx/dialog.h>

namespace kestrune {

class CAboutDlg final : public wxDialog {
 public:
  // Modal to owner when it is shown.
  explicit CAboutDlg(wxWindow* owner);
};

}  // namespace kestrune
