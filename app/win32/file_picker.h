// The common file-open dialog of the two Browse buttons.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace kestrune {

// Asks, modal to owner, for a file of the given extension ("SCH"), starting from the name
// "*.SCH"; true with its full path when the user chose one. The picked file's folder
// becomes the current directory, where the converter resolves relative names.
bool PickFile(HWND owner, const char* extension, std::string* path);

}  // namespace kestrune
