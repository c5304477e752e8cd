// Text for the console the program was started from, though a windowed program has none of its own.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace kestrune {

// Writes text to the standard handle (STD_OUTPUT_HANDLE or STD_ERROR_HANDLE) when it was
// given one, else to the console of the program that started it; with neither, shows it in
// a message box, so that it is never lost.
void WriteToConsole(DWORD standard_handle, const std::string& text);

}  // namespace kestrune
