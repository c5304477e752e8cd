// Test helper: no modal box may ever wait for a user; unexpected ones fail the test and close.
#pragma once

// Included before wx/testing.h so that wxTEST_DIALOG reports through GoogleTest.
#define wxTEST_DIALOG_HOOK_CLASS kestrune::test::FailingModalHook

#include <functional>

#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/testing.h>

#include "app/wx/message_dlg.h"

namespace kestrune::test {

// The hook of wxTEST_DIALOG: a dialog that no expectation matches fails the test.
class FailingModalHook : public wxTestingModalHook {
 public:
  using wxTestingModalHook::wxTestingModalHook;

 protected:
  void ReportFailure(const wxString& message) override;
};

// Installed for the whole run, below every wxTEST_DIALOG: any modal dialog that gets past
// them fails the test and is answered with Cancel instead of being shown.
class UnexpectedModalCatcher : public wxModalDialogHook {
 public:
  UnexpectedModalCatcher() { Register(); }
  ~UnexpectedModalCatcher() override { Unregister(); }

  // Lets the next modal run of dialog really happen (for tests that drive one).
  static void Allow(const wxDialog* dialog);

 protected:
  int Enter(wxDialog* dialog) override;
  void Exit(wxDialog*) override {}
};

// Runs dialog modally for real, performing script inside its modal loop; the script must
// end the loop. Fails the test and ends the loop itself if it still runs after 10 s.
int RunModalWith(wxDialog& dialog, std::function<void()> script);

// A message box expected with these caption, text and icon (wxICON_ERROR or wxICON_NONE), laid
// out as ExpectBoxLaidOut checks.
class ExpectMessage : public wxExpectModalBase<MessageDlg, ExpectMessage> {
 public:
  ExpectMessage(wxString caption, wxString text, long icon, std::function<void()> while_open = {});

 protected:
  int OnInvoked(MessageDlg* box) const override;

 private:
  wxString caption_;
  wxString text_;
  long icon_;
  std::function<void()> while_open_;
};

// A file dialog expected with the given initial name and wildcard, answered by picking
// path (with wxID_OK) or by Cancel (empty path).
class ExpectFilePick : public wxExpectModalBase<wxFileDialog, ExpectFilePick> {
 public:
  ExpectFilePick(wxString initial_name, wxString wildcard, wxString path);

 protected:
  int OnInvoked(wxFileDialog* picker) const override;

 private:
  wxString initial_name_;
  wxString wildcard_;
  wxString path_;
};

// Processes pending events for about the given time.
void PumpEvents(int milliseconds);

}  // namespace kestrune::test
