// Where a dialog opens: in the middle of its owner, or of the work area when it has none.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace kestrune {

// The desktop's work area: the screen less the task bar.
RECT WorkArea();

// Moves window to the middle of its visible owner, else of the work area, as dialogs of the
// usual application framework open; it stays within the work area. Size and style stay.
void CentreOverOwner(HWND window);

}  // namespace kestrune
