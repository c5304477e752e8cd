// Keeps user input away from a window while it works synchronously and only repaints.
#pragma once

#include <wx/eventfilter.h>
#include <wx/window.h>

namespace kestrune {

// While it exists, every user-input event (keys, mouse, commands) and every close request
// aimed at the window or its controls is swallowed. Other windows, such as the message
// boxes the work shows, take input as usual.
class InputBlocker final : public wxEventFilter {
 public:
  explicit InputBlocker(wxWindow& window);
  ~InputBlocker() override;
  InputBlocker(const InputBlocker&) = delete;
  InputBlocker& operator=(const InputBlocker&) = delete;

  int FilterEvent(wxEvent& event) override;

 private:
  bool IsAimedAtWindow(const wxEvent& event) const;

  wxWindow& window_;
};

}  // namespace kestrune
