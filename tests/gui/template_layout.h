// Test helper: a dialog as GTK shows it, checked against the template it was made from.
#pragma once

#include <wx/dialog.h>

#include "res/dialog_template.h"

namespace kestrune::test {

// The window lies within the display's work area, and each control inside its client area,
// overlapping no other, with its whole text showing.
void ExpectNothingCut(wxWindow& window);

// A message box: nothing cut, the text (or the error's icon) at the margin that OK keeps from
// the right edge, no gap kept for an icon it does not show, and wide enough for its caption in
// a bold font with two lines' room for a title bar's buttons on either side.
void ExpectBoxLaidOut(wxDialog& box, bool with_icon);

// Its caption, and its controls in the template's (tab) order, each with the template's
// identifier and text, at the template's place and at least the template's size (or, when
// the template's dialog units would not fit the screen, in the template's order across and
// down), with nothing cut.
void ExpectLaidOutAsTemplate(wxDialog& dialog, const DialogTemplate& dialog_template);

}  // namespace kestrune::test
