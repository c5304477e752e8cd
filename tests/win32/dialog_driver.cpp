// Test helper: runs a dialog on a thread of its own and drives it from the test's thread with
// window messages.
#include "tests/win32/dialog_driver.h"

#include <cstddef>
#include <utility>

namespace kestrune::test {
namespace {

constexpr DWORD kPollMilliseconds = 10;
constexpr char kDialogClass[] = "#32770";

// Polls until found() holds or the wait is over; the last answer.
template <typename Condition>
bool PollUntil(Condition found) {
  const DWORD start = GetTickCount();
  while (!found()) {
    if (GetTickCount() - start > kWaitMilliseconds) return false;
    Sleep(kPollMilliseconds);
  }
  return true;
}

std::string ClassOf(HWND window) {
  char name[64];
  const int length = GetClassNameA(window, name, sizeof name);
  return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

BOOL CALLBACK CollectVisibleDialog(HWND window, LPARAM list) {
  if (IsWindowVisible(window) && ClassOf(window) == kDialogClass) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  }
  return TRUE;
}

std::vector<HWND> VisibleDialogsOf(DWORD thread) {
  std::vector<HWND> found;
  EnumThreadWindows(thread, CollectVisibleDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

template <typename Match>
HWND WaitForThreadDialog(DWORD thread, Match match) {
  HWND found = nullptr;
  PollUntil([&] {
    for (const HWND window : VisibleDialogsOf(thread)) {
      if (match(window)) found = window;
    }
    return found != nullptr;
  });
  return found;
}

bool IsIconStatic(HWND window) {
  return ClassOf(window) == "Static" &&
         (static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & SS_TYPEMASK) == SS_ICON;
}

}  // namespace

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

NONCLIENTMETRICSA Metrics() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
  return metrics;
}

DesktopFontSize::DesktopFontSize(LOGFONTA NONCLIENTMETRICSA::*font, int points)
    : saved_(Metrics()) {
  NONCLIENTMETRICSA larger = saved_;
  const HDC screen = GetDC(nullptr);
  (larger.*font).lfHeight = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, larger.cbSize, &larger, 0);
}

DesktopFontSize::~DesktopFontSize() {
  SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, saved_.cbSize, &saved_, 0);
}

DialogThread::DialogThread(std::function<void()> run) : run_(std::move(run)) {
  thread_ = CreateThread(nullptr, 0, Main, this, 0, &id_);
}

DWORD WINAPI DialogThread::Main(LPVOID self) {
  static_cast<DialogThread*>(self)->run_();
  return 0;
}

DialogThread::~DialogThread() {
  if (thread_ == nullptr) return;
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT &&
         GetTickCount() - start < kWaitMilliseconds) {
    CancelOpenWindows();
    Sleep(50);
  }
  // A thread that still hangs must not hang the test program too.
  if (WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT) TerminateThread(thread_, 1);
  CloseHandle(thread_);
}

// The innermost windows first: a box owned by the dialog takes the cancel before it.
void DialogThread::CancelOpenWindows() const {
  std::vector<HWND> windows = VisibleDialogsOf(id_);
  for (const HWND window : windows) {
    if (GetWindow(window, GW_OWNER) != nullptr) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  }
  for (const HWND window : windows) {
    if (GetWindow(window, GW_OWNER) == nullptr) PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  }
}

HWND DialogThread::WaitForDialog(const char* caption, HWND owner) const {
  return WaitForThreadDialog(id_, [&](HWND window) {
    return TextOf(window) == caption && (owner == nullptr || GetWindow(window, GW_OWNER) == owner);
  });
}

HWND DialogThread::WaitForOwnedDialog(HWND owner) const {
  return WaitForThreadDialog(id_,
                             [&](HWND window) { return GetWindow(window, GW_OWNER) == owner; });
}

bool DialogThread::WaitForEnd() const {
  return thread_ != nullptr && WaitForSingleObject(thread_, kWaitMilliseconds) == WAIT_OBJECT_0;
}

// WM_GETTEXT rather than GetWindowText, which gives no control's text in another process.
std::string TextOf(HWND window) {
  std::string text(static_cast<std::size_t>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0)) + 1,
                   '\0');
  text.resize(static_cast<std::size_t>(
      SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
  return text;
}

std::string ItemText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

void SetItemText(HWND dialog, int id, const std::string& text) {
  SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void Cancel(HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }

void ClickLater(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void PressKey(HWND window, WPARAM key) {
  PostMessageA(window, WM_KEYDOWN, key, 1);
  PostMessageA(window, WM_KEYUP, key, 1 | (3u << 30));
}

bool WaitUntil(const std::function<bool()>& condition) { return PollUntil(condition); }

bool WaitForText(HWND window, const std::string& text) {
  return PollUntil([&] { return TextOf(window) == text; });
}

bool WaitUntilGone(HWND window) {
  return PollUntil([&] { return !IsWindow(window); });
}

MessageBoxContents AnswerMessageBox(const DialogThread& thread) {
  MessageBoxContents box;
  const HWND window = WaitForThreadDialog(
      thread.id(), [](HWND candidate) { return GetWindow(candidate, GW_OWNER) != nullptr; });
  if (window == nullptr) return box;
  box.caption = TextOf(window);
  box.owner = GetWindow(window, GW_OWNER);
  box.owner_enabled = IsWindowEnabled(box.owner) != FALSE;
  for (const HWND child : ChildrenOf(window)) {
    if (!IsWindowVisible(child)) continue;
    if (IsIconStatic(child)) {
      box.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    } else if (ClassOf(child) == "Static") {
      box.text += TextOf(child);
    } else if (ClassOf(child) == "Button") {
      box.buttons.push_back(TextOf(child));
    }
  }
  PostMessageA(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
  WaitUntilGone(window);
  return box;
}

}  // namespace kestrune::test
