// The About box: the program's name, version and terms, closed by OK or Esc.
#include "app/wx/about_dlg.h"

#include <wx/statbmp.h>
#include <wx/xrc/xmlres.h>

#include "app/wx/app_resources.h"

#include "app/wx/dialog_layout.h"
#include "res/dialog_templates.h"

namespace kestrune {

CAboutDlg::CAboutDlg(wxWindow* owner) {
  wxXmlResource::Get()->LoadDialog(this, owner, "IDD_ABOUTBOX");
  // The template's one image, icon 128, sharp at any scale of the screen.
  for (wxWindow* control : GetChildren()) {
    if (auto* icon = dynamic_cast<wxStaticBitmap*>(control)) icon->SetBitmap(LoadAboutIcon());
  }
  FitTemplateToToolkit(*this, kIDD_ABOUTBOX);
  // Over its owner, as a dialog opens; over the work area when it has none.
  CentreOnParent();
}

}  // namespace kestrune
