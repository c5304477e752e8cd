// Reads the design tools' INI file as GetPrivateProfileStringA does, through a Platform's file
// calls.
#pragma once

#include <cstddef>

#include "engine/platform/platform.h"

namespace kestrune {

// The value of key in section of the INI file at ini_path, or fallback when the file,
// section or key is missing, cut to capacity - 1 bytes (nothing is written when capacity
// is 0). A name without any directory part is looked for in C:\WINDOWS only, as on
// Windows. Names match ignoring ASCII case; blanks around names and values and a pair of
// outer quotes go; a NUL byte ends a value. A read failure before the value's line is
// complete gives the fallback. A null fallback reads as "", and out must not overlap it.
// The file is found and read only through files' RealName, OpenForRead, Read and Close.
// Allocates nothing.
void ReadIniFile(Platform& files, const char* section, const char* key, const char* fallback,
                 char* out, std::size_t capacity, const char* ini_path);

// True when the file that ReadIniFile reads for ini_path opens through files' calls.
bool IniFileOpens(Platform& files, const char* ini_path);

}  // namespace kestrune
