// Fits a dialog made from a template to its texts and to the work area, whatever the font.
#include "app/win32/dialog_fit.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "app/common/template_arrangement.h"
#include "app/win32/centre_window.h"

namespace kestrune {

namespace {

std::vector<HWND> ChildrenOf(HWND dialog) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

std::string TextOf(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextA(window, &text[0], static_cast<int>(text.size()))));
  return text;
}

// Measures texts in a control's font, as the control draws them.
class TextMeasure {
 public:
  explicit TextMeasure(HWND control)
      : control_(control),
        device_(GetDC(control)),
        previous_(SelectObject(device_,
                               reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)))),
        text_(TextOf(control)) {
    GetTextMetricsA(device_, &metrics_);
    if (GetWindowLongA(control, GWL_STYLE) & SS_NOPREFIX) flags_ |= DT_NOPREFIX;
  }
  ~TextMeasure() {
    SelectObject(device_, previous_);
    ReleaseDC(control_, device_);
  }
  TextMeasure(const TextMeasure&) = delete;
  TextMeasure& operator=(const TextMeasure&) = delete;

  // Line by line, as the text's own line breaks give them.
  PixelSize Whole() const { return Extent(0, 0); }
  // Broken at spaces into lines no wider than width.
  int HeightAt(int width) const { return Extent(width, DT_WORDBREAK).height; }
  int LineHeight() const { return metrics_.tmHeight; }
  int CharWidth() const { return metrics_.tmAveCharWidth; }
  // A check box leaves half a digit's width between its box and its text.
  int BoxGap() const {
    SIZE digit{};
    GetTextExtentPoint32A(device_, "0", 1, &digit);
    return digit.cx / 2;
  }

 private:
  PixelSize Extent(int width, UINT flags) const {
    RECT extent{0, 0, width, 0};
    DrawTextA(device_, text_.c_str(), -1, &extent, DT_CALCRECT | DT_EXPANDTABS | flags_ | flags);
    return PixelSize{extent.right, extent.bottom};
  }

  HWND control_;
  HDC device_;
  HGDIOBJ previous_;
  std::string text_;
  TEXTMETRICA metrics_{};
  UINT flags_ = 0;
};

// What a control needs to show its text whole: a button its text with room for its frame and
// focus rectangle, a check box its text beside its box and the focus rectangle, a field one line
// in its frame, an icon its image.
ControlNeeds NeedsOf(HWND control, TemplateControlKind kind) {
  ControlNeeds needs;
  if (kind == TemplateControlKind::kIcon) {
    RECT image;
    GetClientRect(control, &image);
    needs.whole = PixelSize{image.right, image.bottom};
    return needs;
  }
  const TextMeasure measure(control);
  const PixelSize text = measure.Whole();
  const int edges = 4 * GetSystemMetrics(SM_CXEDGE);
  switch (kind) {
    case TemplateControlKind::kField:
      needs.whole = PixelSize{0, measure.LineHeight() + 4 * GetSystemMetrics(SM_CYEDGE)};
      break;
    case TemplateControlKind::kButton:
    case TemplateControlKind::kDefaultButton:
      needs.whole = PixelSize{text.width + edges + 2 * measure.CharWidth(),
                              text.height + 4 * GetSystemMetrics(SM_CYEDGE)};
      break;
    case TemplateControlKind::kCheckBox:
      needs.whole = PixelSize{GetSystemMetrics(SM_CXMENUCHECK) + measure.BoxGap() +
                                  GetSystemMetrics(SM_CXEDGE) + text.width,
                              std::max(text.height, GetSystemMetrics(SM_CYMENUCHECK))};
      break;
    case TemplateControlKind::kCentredLabel:
      needs.whole = text;
      needs.height_at_width = [control](int width) { return TextMeasure(control).HeightAt(width); };
      break;
    case TemplateControlKind::kLabel:
    case TemplateControlKind::kIcon: needs.whole = text; break;
  }
  return needs;
}

// The largest client area the work area leaves room for, beside the window's frame.
PixelSize LargestClient(HWND dialog) {
  RECT window;
  RECT client;
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  const RECT area = WorkArea();
  return PixelSize{(area.right - area.left) - (window.right - window.left - client.right),
                   (area.bottom - area.top) - (window.bottom - window.top - client.bottom)};
}

// Whether a control, as the dialog manager sized it, shows its text whole.
bool ShowsWhole(HWND control, const ControlNeeds& needs) {
  RECT place;
  GetWindowRect(control, &place);
  const int width = place.right - place.left;
  const int height = place.bottom - place.top;
  if (needs.height_at_width && needs.whole.width > width) {
    return needs.height_at_width(width) <= height;
  }
  return needs.whole.width <= width && needs.whole.height <= height;
}

// Whether the template, in the dialog's font, fits the work area with every text whole.
bool FitsAsMade(HWND dialog, const std::vector<HWND>& children,
                const std::vector<ControlNeeds>& needs) {
  RECT client;
  GetClientRect(dialog, &client);
  const PixelSize largest = LargestClient(dialog);
  if (client.right > largest.width || client.bottom > largest.height) return false;
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (!ShowsWhole(children[i], needs[i])) return false;
  }
  return true;
}

// A centred label wraps of itself; a left-aligned one given less than its text ends in an
// ellipsis unless it shortens its text already.
void ShortenToFit(HWND control, TemplateControlKind kind, const ControlNeeds& needs,
                  const PixelRect& place) {
  if (kind != TemplateControlKind::kLabel || needs.whole.width <= place.width) return;
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  if (!(style & SS_ELLIPSISMASK)) SetWindowLongA(control, GWL_STYLE, style | SS_ENDELLIPSIS);
}

}  // namespace

void FitDialogToTexts(HWND dialog, const DialogTemplate& dialog_template) {
  const std::vector<HWND> children = ChildrenOf(dialog);
  const auto count = static_cast<std::size_t>(dialog_template.control_count);
  if (children.size() != count) return;  // not made from this template
  std::vector<ControlNeeds> needs;
  for (std::size_t i = 0; i < count; ++i) {
    needs.push_back(NeedsOf(children[i], dialog_template.controls[i].kind));
  }
  // The template's own places, rounded as the dialog manager rounds them, where they do.
  if (FitsAsMade(dialog, children, needs)) return;
  RECT base{0, 0, 4, 8};
  MapDialogRect(dialog, &base);
  const Arrangement arranged = ArrangeTemplate(
      dialog_template, needs, PixelSize{base.right, base.bottom}, LargestClient(dialog));
  for (std::size_t i = 0; i < count; ++i) {
    const PixelRect& place = arranged.controls[i];
    const TemplateControlKind kind = dialog_template.controls[i].kind;
    ShortenToFit(children[i], kind, needs[i], place);
    // An icon keeps its image's size; its place leaves room for it.
    const UINT keep_size = kind == TemplateControlKind::kIcon ? SWP_NOSIZE : 0;
    SetWindowPos(children[i], nullptr, place.x, place.y, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | keep_size);
  }
  RECT window;
  RECT client;
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  SetWindowPos(dialog, nullptr, 0, 0,
               window.right - window.left - client.right + arranged.client.width,
               window.bottom - window.top - client.bottom + arranged.client.height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kestrune
