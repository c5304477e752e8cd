// Opens Windows-form paths on POSIX: backslashes, drive letters in the Wine prefix, letter case.
#pragma once

#include <cstddef>

namespace kestrune {

// Writes into out (capacity bytes) the POSIX path that the Windows-form text names:
// '\' separates directories; "X:" starts at $WINEPREFIX/dosdevices/x: ($WINEPREFIX
// defaults to ~/.wine); a component that does not exist as spelled is replaced by the one
// entry of its folder that matches it ignoring ASCII case. False when out is too small.
// Allocates nothing.
bool MapWindowsPath(const char* text, char* out, std::size_t capacity);

}  // namespace kestrune
