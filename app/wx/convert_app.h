// The application object: names the settings store and runs the main window modally.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include <wx/app.h>
#include <wx/event.h>
#include <wx/string.h>

namespace kestrune {

class CConvertApp final : public wxApp {
 public:
  // The file named on the command line, for the input field; set before the toolkit starts.
  static void SetInputFile(std::optional<std::string> file) { s_inputFile = std::move(file); }

  bool OnInit() override;
  // Runs the main window until it closes; there is no message loop of the program's own.
  int OnRun() override;
  // An exception in an event handler, or one that ends OnRun: the Convert command it cut
  // short leaves no temporary file, a line on standard error tells what happened and the
  // program ends.
  bool OnExceptionInMainLoop() override;
  void OnUnhandledException() override;

 private:
  void OnEndSession(wxCloseEvent& event);

  static inline std::optional<std::string> s_inputFile;
  wxString m_settingsFile;
};

}  // namespace kestrune
