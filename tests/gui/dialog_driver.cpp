// Test helper: presses buttons and keys of a dialog the way the toolkit delivers them.
#include "tests/gui/dialog_driver.h"

#include <gtest/gtest.h>
#include <wx/textctrl.h>

namespace kestrune::test {

void Click(wxWindow& dialog, int id) {
  wxWindow* button = dialog.FindWindow(id);
  ASSERT_NE(button, nullptr) << "no control " << id;
  wxCommandEvent click(wxEVT_BUTTON, id);
  click.SetEventObject(button);
  button->ProcessWindowEvent(click);
}

void PressKey(wxWindow& dialog, int key_code, int modifiers) {
  wxKeyEvent key(wxEVT_CHAR_HOOK);
  key.m_keyCode = key_code;
  key.m_shiftDown = (modifiers & wxMOD_SHIFT) != 0;
  key.SetEventObject(&dialog);
  dialog.ProcessWindowEvent(key);
}

wxString TextOf(wxWindow& dialog, int id) {
  wxWindow* control = dialog.FindWindow(id);
  if (control == nullptr) return "<no control>";
  if (auto* field = dynamic_cast<wxTextCtrl*>(control)) return field->GetValue();
  if (auto* labelled = dynamic_cast<wxControl*>(control)) return labelled->GetLabelText();
  return control->GetLabel();
}

}  // namespace kestrune::test
