// The message box for a text too long for a plain one: it fits the screen and scrolls its text.
#include "app/win32/long_message_box.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "app/win32/centre_window.h"
#include "app/win32/modal_dialog.h"
#include "app/win32/unexpected_end.h"

namespace kestrune {

namespace {

constexpr DWORD kBoxStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

struct LongMessage {
  std::string text;  // with the line breaks an edit control shows
  MessageKind kind;
  HFONT font;
};

// A template without controls: they are made, and sized to the text, when the box opens.
struct alignas(4) EmptyTemplate {
  DLGTEMPLATE header;
  WORD menu;
  WORD window_class;
  WORD title;
};

std::string WithCarriageReturns(const char* text) {
  std::string shown;
  for (const char* at = text; *at != '\0'; ++at) {
    if (*at == '\n' && (at == text || at[-1] != '\r')) shown += '\r';
    shown += *at;
  }
  return shown;
}

// The desktop's fonts and title bar sizes; false when the system gives none.
bool DesktopMetrics(NONCLIENTMETRICSA* metrics) {
  *metrics = NONCLIENTMETRICSA{};
  // The structure's size before Windows Vista, which every Windows accepts.
  metrics->cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
  return SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics->cbSize, metrics, 0) != FALSE;
}

// The font of the system's message boxes, which follows the desktop's settings.
HFONT CreateMessageFont() {
  NONCLIENTMETRICSA metrics;
  return DesktopMetrics(&metrics) ? CreateFontIndirectA(&metrics.lfMessageFont) : nullptr;
}

// The width the title bar needs to show the caption whole: its text in the desktop's caption
// font, with a title bar button's room on either side.
int CaptionRoom(HWND box) {
  NONCLIENTMETRICSA metrics;
  if (!DesktopMetrics(&metrics)) return 0;
  const HFONT font = CreateFontIndirectA(&metrics.lfCaptionFont);
  const HDC device = GetDC(box);
  const HGDIOBJ previous = SelectObject(device, font);
  SIZE caption{};
  GetTextExtentPoint32A(device, kMessageCaption, static_cast<int>(sizeof kMessageCaption) - 1,
                        &caption);
  SelectObject(device, previous);
  ReleaseDC(box, device);
  DeleteObject(font);
  return caption.cx + 2 * GetSystemMetrics(SM_CXSIZE);
}

// The text's extent in the font, and the font's line height.
SIZE TextExtent(HWND window, HFONT font, const std::string& text, int* line_height) {
  const HDC device = GetDC(window);
  const HGDIOBJ previous = SelectObject(device, font);
  RECT extent{};
  DrawTextA(device, text.c_str(), -1, &extent, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
  TEXTMETRICA metrics{};
  GetTextMetricsA(device, &metrics);
  SelectObject(device, previous);
  ReleaseDC(window, device);
  *line_height = metrics.tmHeight;
  return SIZE{extent.right, extent.bottom};
}

HWND AddControl(HWND box, DWORD extended_style, const char* window_class, DWORD style, int id,
                HFONT font) {
  const HWND control = CreateWindowExA(
      extended_style, window_class, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, box,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ResourceModule(), nullptr);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

// Sizes the box to the text and its caption, within the work area, and lays out icon, text
// and OK in it.
void Arrange(HWND box, HWND icon, HWND text, HWND ok, SIZE extent, int line) {
  const int margin = line;
  const int icon_width = icon != nullptr ? GetSystemMetrics(SM_CXICON) + margin : 0;
  const SIZE button{line * 5, line * 7 / 4};
  const int edges = 4 * GetSystemMetrics(SM_CXEDGE);
  // However narrow the text, the caption shows whole.
  RECT wanted{
      0, 0,
      std::max<LONG>(
          margin + icon_width + extent.cx + GetSystemMetrics(SM_CXVSCROLL) + edges + margin,
          CaptionRoom(box)),
      margin + extent.cy + GetSystemMetrics(SM_CYHSCROLL) + edges + margin + button.cy + margin};
  AdjustWindowRectEx(&wanted, kBoxStyle, FALSE, WS_EX_DLGMODALFRAME);
  const RECT area = WorkArea();
  const int width = std::min(wanted.right - wanted.left, area.right - area.left);
  const int height = std::min(wanted.bottom - wanted.top, area.bottom - area.top);
  SetWindowPos(box, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  GetClientRect(box, &client);
  if (icon != nullptr) SetWindowPos(icon, nullptr, margin, margin, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
  const int text_left = margin + icon_width;
  const int button_top = client.bottom - margin - button.cy;
  MoveWindow(text, text_left, margin, client.right - margin - text_left, button_top - 2 * margin,
             FALSE);
  MoveWindow(ok, client.right - margin - button.cx, button_top, button.cx, button.cy, FALSE);
}

void OpenBox(HWND box, const LongMessage& message) {
  SetWindowTextA(box, kMessageCaption);
  HWND icon = nullptr;
  if (message.kind == MessageKind::kError) {
    icon = AddControl(box, 0, "STATIC", SS_ICON, kLongMessageIconId, message.font);
    SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_HAND)), 0);
  }
  const HWND text = AddControl(box, WS_EX_CLIENTEDGE, "EDIT",
                               WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                                   ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                               kLongMessageTextId, message.font);
  SendMessageA(text, EM_LIMITTEXT, 0, 0);  // as long as the text is
  SetWindowTextA(text, message.text.c_str());
  const HWND ok = AddControl(box, 0, "BUTTON", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, message.font);
  SetWindowTextA(ok, "OK");
  int line = 0;
  const SIZE extent = TextExtent(box, message.font, message.text, &line);
  Arrange(box, icon, text, ok, extent, line);
  SetFocus(ok);
}

INT_PTR CALLBACK BoxProcedure(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      // An exception cannot pass through the system's frames that called this one.
      try {
        OpenBox(box, *reinterpret_cast<const LongMessage*>(lparam));
      } catch (...) {
        EndOnUnexpectedFailure();
      }
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wparam) != IDOK && LOWORD(wparam) != IDCANCEL) return FALSE;
      EndDialog(box, IDOK);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

void ShowLongMessageBox(HWND owner, const char* text, MessageKind kind) {
  const HFONT created = CreateMessageFont();
  const LongMessage message{
      WithCarriageReturns(text), kind,
      created != nullptr ? created : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))};
  EmptyTemplate box{};
  box.header.style = kBoxStyle;
  box.header.dwExtendedStyle = WS_EX_DLGMODALFRAME;
  DialogBoxIndirectParamA(ResourceModule(), &box.header, owner, BoxProcedure,
                          reinterpret_cast<LPARAM>(&message));
  if (created != nullptr) DeleteObject(created);
}

}  // namespace kestrune
