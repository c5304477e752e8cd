// Places a dialog template's controls in pixels so that every text shows whole and the dialog
// fits the screen, whatever the font's size.
#pragma once

#include <functional>
#include <vector>

#include "res/dialog_template.h"

namespace kestrune {

struct PixelSize {
  int width = 0;
  int height = 0;
};

struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// What a control needs to show its text whole, in pixels: a button or check box its text with
// its frame, a label its text, a field the height of one line (its width only the template's,
// as it scrolls), an icon its image.
struct ControlNeeds {
  PixelSize whole;
  // A centred label's height when its text is wrapped to a width; none for other controls.
  std::function<int(int width)> height_at_width;
};

struct Arrangement {
  std::vector<PixelRect> controls;  // in the template's order
  PixelSize client;
};

// Places dialog_template's controls (needs in the same order) in the dialog units of base (the
// pixels of 4 horizontal and 8 vertical units). Each control takes its template's place and
// size, grown to what it needs; a control that others before it (left of it in its row, or
// above it in its column) push is moved on, so that none overlaps another. A label that reaches
// the template's right margin reaches the client area's margin, so that all such lines centre
// alike. When the client area would be wider or taller than largest, the units shrink in that
// direction, narrowing spaces and fields first and never a text below what it needs; should even
// that not suffice, labels are narrowed to fit, for the toolkit to shorten or wrap.
Arrangement ArrangeTemplate(const DialogTemplate& dialog_template,
                            const std::vector<ControlNeeds>& needs, PixelSize base,
                            PixelSize largest);

}  // namespace kestrune
