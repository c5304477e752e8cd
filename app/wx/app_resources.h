// The compiled-in dialog templates and icon images, and the control identifiers they carry.
#pragma once

#include <wx/iconbndl.h>

namespace kestrune {

// Makes the templates loadable, with their controls under the program's numeric
// identifiers. Call once, after the toolkit has started and before any dialog is made.
void LoadAppResources();

// Icon 128 in every size the program has (16, 32, 48 and 256 pixels).
wxIconBundle LoadMainIcons();

}  // namespace kestrune
