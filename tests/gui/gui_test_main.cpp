// Starts the toolkit for the GUI tests, with every log message and assertion failing the test.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

#include "app/wx/app_resources.h"
#include "tests/gui/modal_guard.h"

namespace {

class GuiTestApp : public wxApp {
 public:
  bool OnInit() override {
    kestrune::LoadAppResources();
    return true;
  }
};

// Log messages would otherwise pop up in boxes of their own.
class FailingLog : public wxLog {
 protected:
  void DoLogTextAtLevel(wxLogLevel level, const wxString& message) override {
    if (level <= wxLOG_Warning) ADD_FAILURE() << "logged: " << message.utf8_str();
  }
};

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& message) {
  ADD_FAILURE_AT(file.utf8_str(), line) << "wx assertion " << cond.utf8_str() << " in "
                                        << func.utf8_str() << ": " << message.utf8_str();
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  wxApp::SetInstance(new GuiTestApp);
  if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) return 2;
  delete wxLog::SetActiveTarget(new FailingLog);
  wxSetAssertHandler(FailOnAssert);
  int result = 0;
  {
    kestrune::test::UnexpectedModalCatcher catcher;
    result = RUN_ALL_TESTS();
  }
  wxTheApp->OnExit();
  wxEntryCleanup();
  return result;
}
