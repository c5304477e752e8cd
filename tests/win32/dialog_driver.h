// Test helper: runs a dialog on a thread of its own and drives it from the test's thread with
// window messages.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kestrune::test {

// How long any wait for a window, a text or a thread may last.
constexpr DWORD kWaitMilliseconds = 15000;

// A thread that runs one modal dialog (or any other work with windows). Messages sent to
// its windows from the test's thread are handled there, in its modal loops, as a user's
// input would be. Whatever is still open when the object goes is cancelled.
class DialogThread {
 public:
  explicit DialogThread(std::function<void()> run);
  ~DialogThread();
  DialogThread(const DialogThread&) = delete;
  DialogThread& operator=(const DialogThread&) = delete;

  // The thread's visible dialog window with this caption (and owner, when given); null
  // when none appeared in time.
  HWND WaitForDialog(const char* caption, HWND owner = nullptr) const;
  // A visible dialog window of the thread owned by owner, whatever its caption.
  HWND WaitForOwnedDialog(HWND owner) const;
  // True when the thread ended in time.
  bool WaitForEnd() const;
  DWORD id() const { return id_; }

 private:
  static DWORD WINAPI Main(LPVOID self);
  void CancelOpenWindows() const;

  std::function<void()> run_;
  HANDLE thread_ = nullptr;
  DWORD id_ = 0;
};

// The window's child windows, in their order.
std::vector<HWND> ChildrenOf(HWND parent);
// The window's text.
std::string TextOf(HWND window);
// The text of the control id of dialog.
std::string ItemText(HWND dialog, int id);
// Sets a control's text, as typing would leave it.
void SetItemText(HWND dialog, int id, const std::string& text);
// Presses a button and returns once its handler is done.
void Click(HWND dialog, int id);
// Presses a button whose handler opens a modal window, and returns at once.
void ClickLater(HWND dialog, int id);
// Cancels a dialog as Esc does.
void Cancel(HWND dialog);
// A key pressed while the focus is in window, handled by the dialog's own key handling.
void PressKey(HWND window, WPARAM key);
// True when condition came to hold in time.
bool WaitUntil(const std::function<bool()>& condition);
// True when the window's text became text in time.
bool WaitForText(HWND window, const std::string& text);
// True when the window is gone in time.
bool WaitUntilGone(HWND window);

// The desktop's metrics up to its message font, as this process sees them.
NONCLIENTMETRICSA Metrics();

// Sets one of the desktop's fonts to a size, for this process only, until it goes.
class DesktopFontSize {
 public:
  DesktopFontSize(LOGFONTA NONCLIENTMETRICSA::*font, int points);
  ~DesktopFontSize();
  DesktopFontSize(const DesktopFontSize&) = delete;
  DesktopFontSize& operator=(const DesktopFontSize&) = delete;

 private:
  NONCLIENTMETRICSA saved_;
};

// What a message box shows.
struct MessageBoxContents {
  std::string caption;
  std::string text;
  HICON icon = nullptr;  // null when it shows none
  std::vector<std::string> buttons;
  HWND owner = nullptr;
  bool owner_enabled = true;  // while the box is open
};

// Waits for a message box of the thread, reads it and presses its OK button; a box with
// an empty caption comes back when none appeared in time.
MessageBoxContents AnswerMessageBox(const DialogThread& thread);

}  // namespace kestrune::test
