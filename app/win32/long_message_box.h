// The message box for a text too long for a plain one: it fits the screen and scrolls its text.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "app/common/convert_dialog_view.h"

namespace kestrune {

// The box's controls besides OK: the text field, and the icon of an error.
constexpr int kLongMessageTextId = 100;
constexpr int kLongMessageIconId = 101;

// Shows text modal to owner, captioned kMessageCaption, with the stop icon for an error:
// as large as the text needs but never larger than the work area, the text in a read-only
// field that scrolls, OK below it. Returns when OK, Enter or Esc closes it.
void ShowLongMessageBox(HWND owner, const char* text, MessageKind kind);

}  // namespace kestrune
