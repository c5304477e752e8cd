// The About box: the program's name, version and terms, closed by OK or Esc.
#pragma once

#include "app/win32/modal_dialog.h"
#include "res/dialog_templates.h"
#include "res/resource.h"

namespace kestrune {

// Everything it shows is in its template; the base class's OK and cancel close it.
class CAboutDlg final : public CModalDialog {
 public:
  CAboutDlg() : CModalDialog(IDD_ABOUTBOX, kIDD_ABOUTBOX) {}
};

}  // namespace kestrune
