// Keeps user input away from a window while it works synchronously and only repaints.
#include "app/wx/input_blocker.h"

#include <wx/toplevel.h>

namespace kestrune {

InputBlocker::InputBlocker(wxWindow& window) : window_(window) { wxEvtHandler::AddFilter(this); }

InputBlocker::~InputBlocker() { wxEvtHandler::RemoveFilter(this); }

int InputBlocker::FilterEvent(wxEvent& event) {
  const bool blocked = event.GetEventCategory() == wxEVT_CATEGORY_USER_INPUT ||
                       event.GetEventType() == wxEVT_CLOSE_WINDOW;
  return blocked && IsAimedAtWindow(event) ? Event_Processed : Event_Skip;
}

bool InputBlocker::IsAimedAtWindow(const wxEvent& event) const {
  wxWindow* target = wxDynamicCast(event.GetEventObject(), wxWindow);
  return target != nullptr && wxGetTopLevelParent(target) == &window_;
}

}  // namespace kestrune
