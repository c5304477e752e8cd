// The small dialog framework of the Windows program: a modal dialog run from a template, with
// virtual handlers.
#include "app/win32/modal_dialog.h"

#include <vector>

#include "app/win32/centre_window.h"
#include "app/win32/desktop_font_template.h"
#include "app/win32/dialog_fit.h"
#include "app/win32/unexpected_end.h"

namespace kestrune {

HINSTANCE ResourceModule() { return GetModuleHandleA(nullptr); }

INT_PTR CModalDialog::DoModal(HWND owner) {
  const std::vector<WORD> dialog_template = TemplateInDesktopFont(ResourceModule(), m_templateId);
  if (dialog_template.empty()) return -1;
  return DialogBoxIndirectParamA(ResourceModule(),
                                 reinterpret_cast<const DLGTEMPLATE*>(dialog_template.data()),
                                 owner, DialogProcedure, reinterpret_cast<LPARAM>(this));
}

bool CModalDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR*) { return false; }

std::string CModalDialog::ControlText(int id) const {
  const HWND control = GetDlgItem(m_hWnd, id);
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextA(control, &text[0], static_cast<int>(text.size()))));
  return text;
}

// The object rides in with WM_INITDIALOG and stays in the window's user data; messages
// before it (WM_SETFONT) take the default processing.
INT_PTR CALLBACK CModalDialog::DialogProcedure(HWND window, UINT message, WPARAM wparam,
                                               LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<CModalDialog*>(lparam);
    dialog->m_hWnd = window;
    SetWindowLongPtrA(window, DWLP_USER, lparam);
  }
  auto* dialog = reinterpret_cast<CModalDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  // An exception cannot pass through the system's frames that called this one.
  try {
    return dialog != nullptr ? dialog->Dispatch(message, wparam, lparam) : FALSE;
  } catch (...) {
    EndOnUnexpectedFailure();
  }
}

INT_PTR CModalDialog::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
  INT_PTR result = FALSE;
  if (OnMessage(message, wparam, lparam, &result)) return result;
  switch (message) {
    case WM_INITDIALOG:
      FitDialogToTexts(m_hWnd, m_layout);
      // The templates leave the place to the code, as the usual framework does.
      CentreOverOwner(m_hWnd);
      return OnInitDialog();
    case WM_COMMAND:
      if (HIWORD(wparam) != BN_CLICKED) return FALSE;
      if (LOWORD(wparam) == IDOK) OnOK();
      if (LOWORD(wparam) == IDCANCEL) OnCancel();
      return LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL;
    case WM_NCDESTROY: m_hWnd = nullptr; return FALSE;
    default: return FALSE;
  }
}

}  // namespace kestrune
