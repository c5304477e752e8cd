// Makes a dialog-unit template readable on GTK, whose controls need more room than Windows ones.
#pragma once

#include <wx/dialog.h>

#include "res/dialog_template.h"

namespace kestrune {

// Gives the dialog the desktop's font size when that is larger than its template's (placing
// the controls again in the larger dialog units) and the client size of its template, then grows
// every control that is smaller than GTK needs to show it whole, by no more than that,
// keeping its position. Text fields grow in height only, since they scroll; they and
// buttons grow only as far as their text needs, not to GTK's roomier minimum. The client
// area grows as well when a control would reach past it.
void FitTemplateToToolkit(wxDialog& dialog, const DialogTemplate& dialog_template);

}  // namespace kestrune
