// Fits a dialog made from a template to its texts and to the work area, whatever the font.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "res/dialog_template.h"

namespace kestrune {

// Places the controls of dialog, made from dialog_template, as ArrangeTemplate does in the
// dialog's units: where the template fits the work area with every text whole, as the dialog
// manager placed them; else each grown to its text, none overlapping, the window no larger
// than the work area, a label given less than its text wrapped when centred and ending in an
// ellipsis otherwise. The window's place is left to the caller.
void FitDialogToTexts(HWND dialog, const DialogTemplate& dialog_template);

}  // namespace kestrune
