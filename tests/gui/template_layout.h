// Test helper: a dialog as GTK shows it, checked against the template it was made from.
#pragma once

#include <wx/dialog.h>

#include "res/dialog_template.h"

namespace kestrune::test {

// Its caption, and its controls in the template's (tab) order, each with the template's
// identifier and text, at the template's place, at least the template's size, with its
// whole text showing, overlapping no other control and inside the client area.
void ExpectLaidOutAsTemplate(wxDialog& dialog, const DialogTemplate& dialog_template);

}  // namespace kestrune::test
