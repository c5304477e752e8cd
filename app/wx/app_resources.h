// The compiled-in dialog templates and icon images, and the control identifiers they carry.
#pragma once

#include <wx/bmpbndl.h>
#include <wx/iconbndl.h>

namespace kestrune {

// Makes the templates loadable, with their controls under the program's numeric
// identifiers. Call once, after the toolkit has started and before any dialog is made.
void LoadAppResources();

// The sizes of icon 128's images, in pixels, smallest first.
constexpr int kIconSizes[] = {KESTRUNE_ICON_SIZES};
// The size the About box shows icon 128 at, in the toolkit's pixels, as Windows does.
constexpr int kAboutIconSize = 32;

// Icon 128 in every size the program has.
wxIconBundle LoadMainIcons();

// Icon 128 for the About box: kAboutIconSize, drawn from the image that has as many pixels as
// the screen gives it (twice as many at a scale of 2).
wxBitmapBundle LoadAboutIcon();

}  // namespace kestrune
