// A dialog template in the desktop's font size, when that is larger than the template's own.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <vector>

namespace kestrune {

// A copy of the module's dialog template template_id whose font has the size of the
// desktop's message font when that is larger, so that dialog units, computed from the
// font, grow with it; the template itself when it names no font. Empty when there is none.
std::vector<WORD> TemplateInDesktopFont(HINSTANCE module, int template_id);

}  // namespace kestrune
