// Makes a dialog-unit template readable on GTK at any font size and fits it to the screen.
#pragma once

#include <wx/dialog.h>

#include "res/dialog_template.h"

namespace kestrune {

// Gives the dialog the desktop's font size when that is larger than its template's, then
// places its controls as ArrangeTemplate does in the dialog units of that font: at the
// template's places, each as large as GTK needs to show it whole (buttons and fields as far as
// their text needs, not to GTK's roomier minimum), none overlapping, the client area as large as
// they need but no larger than the display's work area allows. A label that must be narrower
// than its text is wrapped when centred, else shortened in the middle with an ellipsis.
void FitTemplateToToolkit(wxDialog& dialog, const DialogTemplate& dialog_template);

}  // namespace kestrune
