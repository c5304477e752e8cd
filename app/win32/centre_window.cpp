// Where a dialog opens: in the middle of its owner, or of the work area when it has none.
#include "app/win32/centre_window.h"

#include <algorithm>

namespace kestrune {

RECT WorkArea() {
  RECT area;
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
    area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return area;
}

namespace {

// The first coordinate of a span of length that centres it on [low, high), kept within
// [bound_low, bound_high) as far as it fits.
int CentredStart(LONG low, LONG high, LONG length, LONG bound_low, LONG bound_high) {
  const LONG start = low + (high - low - length) / 2;
  return static_cast<int>(std::max(bound_low, std::min(start, bound_high - length)));
}

}  // namespace

void CentreOverOwner(HWND window) {
  const RECT work_area = WorkArea();
  RECT area = work_area;
  const HWND owner = GetWindow(window, GW_OWNER);
  if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &area);
  RECT rect;
  GetWindowRect(window, &rect);
  const int left =
      CentredStart(area.left, area.right, rect.right - rect.left, work_area.left, work_area.right);
  const int top =
      CentredStart(area.top, area.bottom, rect.bottom - rect.top, work_area.top, work_area.bottom);
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kestrune
