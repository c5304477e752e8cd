// The small dialog framework of the Windows program: a modal dialog run from a template, with
// virtual handlers.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

#include "res/dialog_template.h"

namespace kestrune {

// A dialog box made from the program's template template_id, whose controls layout
// describes, and run modally; it is fitted to its texts and the work area as it opens.
// Derived classes override the handlers; a message no handler takes gets the default
// processing.
class CModalDialog {
 public:
  CModalDialog(int template_id, const DialogTemplate& layout)
      : m_templateId(template_id), m_layout(layout) {}
  virtual ~CModalDialog() = default;
  CModalDialog(const CModalDialog&) = delete;
  CModalDialog& operator=(const CModalDialog&) = delete;

  // Runs the dialog, owned by owner (none: a top-level window); the value given to EndDialog.
  INT_PTR DoModal(HWND owner);

  HWND m_hWnd = nullptr;

 protected:
  // True lets the dialog manager put the focus on the first control.
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void OnOK() { EndDialog(m_hWnd, IDOK); }
  virtual void OnCancel() { EndDialog(m_hWnd, IDCANCEL); }
  // A derived class's own messages; true when handled, with the dialog procedure's result.
  virtual bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result);

  // The whole text of a control, however long.
  std::string ControlText(int id) const;

 private:
  static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR Dispatch(UINT message, WPARAM wparam, LPARAM lparam);

  int m_templateId;
  const DialogTemplate& m_layout;
};

// The module that holds the program's resources.
HINSTANCE ResourceModule();

}  // namespace kestrune
