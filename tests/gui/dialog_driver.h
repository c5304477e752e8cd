// Test helper: presses buttons and keys of a dialog the way the toolkit delivers them.
#pragma once

#include <wx/dialog.h>
#include <wx/event.h>

namespace kestrune::test {

// A click on the button with this id, as the button itself reports it.
void Click(wxWindow& dialog, int id);

// A key press as the dialog's key hook sees it before the focused control does.
void PressKey(wxWindow& dialog, int key_code, int modifiers = wxMOD_NONE);

// The text of the control with this id as it shows (label or field value).
wxString TextOf(wxWindow& dialog, int id);

}  // namespace kestrune::test
