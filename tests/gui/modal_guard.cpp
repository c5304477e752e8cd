// Test helper: no modal box may ever wait for a user; unexpected ones fail the test and close.
#include "tests/gui/modal_guard.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>

#include "tests/gui/template_layout.h"

namespace kestrune::test {

namespace {

const wxDialog* g_allowed_dialog = nullptr;

constexpr int kModalTimeoutMs = 10000;

}  // namespace

void FailingModalHook::ReportFailure(const wxString& message) {
  ADD_FAILURE() << message.utf8_str();
}

void UnexpectedModalCatcher::Allow(const wxDialog* dialog) { g_allowed_dialog = dialog; }

int UnexpectedModalCatcher::Enter(wxDialog* dialog) {
  if (dialog == g_allowed_dialog) {
    g_allowed_dialog = nullptr;
    return wxID_NONE;
  }
  ADD_FAILURE() << "unexpected modal dialog \"" << dialog->GetTitle().utf8_str() << "\"";
  return wxID_CANCEL;
}

int RunModalWith(wxDialog& dialog, std::function<void()> script) {
  wxTimer watchdog;
  watchdog.Bind(wxEVT_TIMER, [&dialog](wxTimerEvent&) {
    ADD_FAILURE() << "modal dialog \"" << dialog.GetTitle().utf8_str() << "\" did not close";
    dialog.EndModal(wxID_ABORT);
  });
  watchdog.StartOnce(kModalTimeoutMs);
  dialog.CallAfter([script] { script(); });
  UnexpectedModalCatcher::Allow(&dialog);
  return dialog.ShowModal();
}

ExpectMessage::ExpectMessage(wxString caption, wxString text, long icon,
                             std::function<void()> while_open)
    : caption_(std::move(caption)),
      text_(std::move(text)),
      icon_(icon),
      while_open_(std::move(while_open)) {}

int ExpectMessage::OnInvoked(MessageDlg* box) const {
  EXPECT_EQ(caption_, box->GetTitle());
  EXPECT_EQ(text_, box->GetMessage());
  EXPECT_EQ(icon_ == wxICON_ERROR, box->GetKind() == MessageKind::kError);
  ExpectBoxLaidOut(*box, icon_ == wxICON_ERROR);
  if (while_open_) while_open_();
  return wxID_OK;
}

ExpectFilePick::ExpectFilePick(wxString initial_name, wxString wildcard, wxString path)
    : initial_name_(std::move(initial_name)),
      wildcard_(std::move(wildcard)),
      path_(std::move(path)) {}

int ExpectFilePick::OnInvoked(wxFileDialog* picker) const {
  EXPECT_EQ(initial_name_, picker->GetFilename());
  EXPECT_EQ(wildcard_, picker->GetWildcard());
  EXPECT_FALSE(picker->HasFdFlag(wxFD_FILE_MUST_EXIST));
  if (path_.empty()) return wxID_CANCEL;
  // GTK's chooser takes the path asynchronously: wait until it reports it back.
  picker->SetPath(path_);
  wxStopWatch clock;
  while (picker->GetPath() != path_ && clock.Time() < 2000) PumpEvents(5);
  return wxID_OK;
}

void PumpEvents(int milliseconds) {
  wxStopWatch clock;
  do {
    wxTheApp->Yield(true);
    wxMilliSleep(1);
  } while (clock.Time() < milliseconds);
}

}  // namespace kestrune::test
