// Opens Windows-form paths on POSIX: backslashes, drive letters in the Wine prefix, letter case.
#pragma once

#include <cstddef>

namespace kestrune {

// Writes into out (capacity bytes) the POSIX path that the Windows-form text names, each
// component as spelled: '\' separates directories; "X:" starts at $WINEPREFIX/dosdevices/x:
// ($WINEPREFIX defaults to ~/.wine). False when out is too small. Looks at no file and
// allocates nothing.
bool MapWindowsPath(const char* text, char* out, std::size_t capacity);

// Writes the Windows-form text into out (capacity bytes) with each component that does not
// exist as spelled replaced by the one entry of its folder that matches it ignoring ASCII
// case; where none or several match, and below a component that is no folder, the text stays
// as given. The result has the length of text. False when out is too small. Allocates nothing.
bool MatchLetterCase(const char* text, char* out, std::size_t capacity);

}  // namespace kestrune
