// The main window on wxWidgets: layout, and its controls, keys and boxes reaching the presenter.
#include "app/wx/convert_dlg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/display.h>
#include <wx/dnd.h>
#include <wx/eventfilter.h>
#include <wx/filename.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "app/wx/about_dlg.h"
#include "app/wx/file_profile_store.h"
#include "app/wx/long_message_dlg.h"
#include "res/defaults.h"
#include "res/dialog_templates.h"
#include "res/resource.h"
#include "res/string_table.h"
#include "tests/gui/dialog_driver.h"
#include "tests/gui/modal_guard.h"
#include "tests/gui/template_layout.h"
#include "tests/support/scratch_dir.h"

namespace kestrune::test {
namespace {

class MainDialog : public testing::Test {
 protected:
  ScratchDir scratch;
  const std::string settings_path = scratch.PathOf("config/Brindlewood/KESTRUNE.conf");
  const wxString start_dir = wxGetCwd();
  std::unique_ptr<CConvertDlg> dialog;

  void SetUp() override { wxSetWorkingDirectory(scratch.path().string()); }
  void TearDown() override {
    dialog.reset();
    wxSetWorkingDirectory(start_dir);
  }

  CConvertDlg& Open(std::optional<std::string> input_file = std::nullopt) {
    dialog = std::make_unique<CConvertDlg>(wxString::FromUTF8(settings_path), input_file);
    dialog->InitDialog();
    dialog->Show();
    PumpEvents(50);
    return *dialog;
  }
  void WriteSettings(const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(settings_path).parent_path());
    WriteWholeFile(settings_path, text);
  }
  void SetField(int id, const wxString& text) {
    wxStaticCast(dialog->FindWindow(id), wxTextCtrl)->ChangeValue(text);
  }
  void Tick(int id, bool ticked) {
    wxStaticCast(dialog->FindWindow(id), wxCheckBox)->SetValue(ticked);
  }
  bool Ticked(int id) { return wxStaticCast(dialog->FindWindow(id), wxCheckBox)->IsChecked(); }
  bool SettingsSaved() const { return std::filesystem::exists(settings_path); }
};

TEST_F(MainDialog, IsLaidOutAsItsTemplateWithEveryTextWhole) {
  ExpectLaidOutAsTemplate(Open(), kIDD_CONVERT_DIALOG);
}

// The template's 8 points, or the desktop's size when that is larger.
TEST_F(MainDialog, TemplateFontIsMsSansSerifOrTheGuiFontAtLeastAsLargeAsTheDesktops) {
  const wxFont font = Open().GetFont();
  const wxFont desktop = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
  EXPECT_EQ(font.GetPointSize(), std::max(8, desktop.GetPointSize()));
  const wxString gui_face = desktop.GetFaceName();
  EXPECT_TRUE(font.GetFaceName() == "MS Sans Serif" || font.GetFaceName() == gui_face)
      << font.GetFaceName().utf8_str();
  EXPECT_EQ(dialog->FindWindow(IDC_STATUS)->GetFont(), font);
}

TEST_F(MainDialog, FirstStartShowsDefaultsIdleStatusTitleAndIcons) {
  CConvertDlg& window = Open();
  EXPECT_EQ(TextOf(window, IDC_INPUT_FILE), "");
  EXPECT_EQ(TextOf(window, IDC_INI_FILE), kDefaultIniPath);
  EXPECT_FALSE(Ticked(IDC_BACKUP));
  EXPECT_FALSE(Ticked(IDC_EMBEDDED));
  EXPECT_EQ(TextOf(window, IDC_STATUS), "Status: IDLE");
  // Every size a desktop asks for at any scale, up to 256 pixels, drawn for that size.
  const wxIconBundle& icons = window.GetIcons();
  EXPECT_EQ(icons.GetIconCount(), 7u);
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    EXPECT_TRUE(icons.GetIcon(size, wxIconBundle::FALLBACK_NONE).IsOk()) << size;
  }
  EXPECT_FALSE(window.HasFlag(wxMINIMIZE_BOX) || window.HasFlag(wxMAXIMIZE_BOX));
  EXPECT_FALSE(SettingsSaved());
}

TEST_F(MainDialog, ExitSavesWhatTheNextStartShows) {
  Open();
  const wxString long_path = wxString('x', 300) + ".SCH";
  EXPECT_EQ(RunModalWith(*dialog,
                         [&] {
                           SetField(IDC_INPUT_FILE, long_path);
                           SetField(IDC_INI_FILE, "D:\\MSIM.INI");
                           Tick(IDC_EMBEDDED, true);
                           Click(*dialog, wxID_OK);
                         }),
            wxID_OK);
  CConvertDlg& next = Open();
  EXPECT_EQ(TextOf(next, IDC_INPUT_FILE), long_path);
  EXPECT_EQ(TextOf(next, IDC_INI_FILE), "D:\\MSIM.INI");
  EXPECT_FALSE(Ticked(IDC_BACKUP));
  EXPECT_TRUE(Ticked(IDC_EMBEDDED));
}

TEST_F(MainDialog, AnExitWhoseSettingsCannotBeSavedShowsAnErrorAndStaysOpen) {
  WriteWholeFile(scratch.PathOf("config"), "");  // a file where the settings folder belongs
  CConvertDlg& window = Open();
  wxTEST_DIALOG(Click(window, wxID_OK),
                ExpectMessage("Convert", kSettingsNotSavedText, wxICON_ERROR));
  EXPECT_TRUE(window.IsShown());
}

// Started as a file manager starts it, from another folder: the example's relative library path
// and nested file resolve from the file's folder, as after a pick.
TEST_F(MainDialog, AFileNamedOnTheCommandLineIsConvertedWithItsNestedFileAsIfPicked) {
  const std::filesystem::path folder = scratch.path() / "Ämp dir";
  std::filesystem::create_directories(folder);
  std::filesystem::copy(KESTRUNE_EXAMPLES_DIR, folder);
  WriteSettings("[Options]\nInput File=STORED.SCH\nIni File=./MSIM.INI\nEmbeded=1\n");
  CConvertDlg& window = Open("Ämp dir/AMP.SCH");
  const wxString top = wxString::FromUTF8(scratch.PathOf("Ämp dir/AMP.SCH"));
  EXPECT_EQ(TextOf(window, IDC_INPUT_FILE), top);
  EXPECT_EQ(TextOf(window, IDC_INI_FILE), "./MSIM.INI");
  EXPECT_EQ(std::filesystem::current_path(), folder);
  wxTEST_DIALOG(Click(window, IDC_CONVERT),
                ExpectMessage("Convert", top + "\nFILTER.SCH\nConverted!", wxICON_NONE));
  for (const char* name : {"AMP.SCH", "FILTER.SCH"}) {
    EXPECT_EQ(ReadWholeFile(folder / name).rfind("*version 6.1 ", 0), 0u) << name;
  }
}

// A file name that is no UTF-8 cannot show as it is, but left alone it is converted and saved
// byte for byte.
TEST_F(MainDialog, ANameThatIsNoUtf8IsConvertedAndSavedByteForByte) {
  const std::string name = "\xE9t\xE9.SCH";  // Latin-1
  WriteWholeFile(scratch.path() / name, "*version 7.1\n");
  WriteSettings("[Options]\nInput File=" + name + "\nIni File=./NONE.INI\n");
  CConvertDlg& window = Open();
  wxTEST_DIALOG(Click(window, IDC_CONVERT),
                ExpectMessage("Convert", wxString(name.c_str(), wxConvISO8859_1) + "\nConverted!",
                              wxICON_NONE));
  EXPECT_EQ(ReadWholeFile(scratch.path() / name), "*version 6.1\n");
  EXPECT_EQ(RunModalWith(window, [&] { Click(window, wxID_OK); }), wxID_OK);
  EXPECT_NE(ReadWholeFile(settings_path).find("Input File=" + name + "\n"), std::string::npos)
      << ReadWholeFile(settings_path);
}

// Drops as the toolkit delivers them to the drop target of the window they fell on.
void DropFiles(wxWindow& target, const wxArrayString& files) {
  auto* drop = dynamic_cast<wxFileDropTarget*>(target.GetDropTarget());
  ASSERT_NE(drop, nullptr);
  EXPECT_TRUE(drop->OnDropFiles(5, 5, files));
}

// A drop is taken as a pick: the path whole, and its folder entered.
TEST_F(MainDialog, AFileDroppedOnTheIniFieldNamesTheIniFileAndElsewhereTheSchematic) {
  const std::filesystem::path folder = scratch.path() / "Ämp dir";
  std::filesystem::create_directories(folder);
  const wxString first = wxString::FromUTF8(scratch.PathOf("Ämp dir/Ämp.sch"));
  wxArrayString files;
  files.Add(first);
  files.Add(wxString::FromUTF8(scratch.PathOf("Filter.sch")));
  CConvertDlg& window = Open();
  DropFiles(*window.FindWindow(IDC_INI_FILE), files);
  EXPECT_EQ(TextOf(window, IDC_INI_FILE), first);
  EXPECT_EQ(TextOf(window, IDC_INPUT_FILE), "");
  EXPECT_EQ(std::filesystem::current_path(), folder);
  for (wxWindow* target : {static_cast<wxWindow*>(&window), window.FindWindow(IDC_INPUT_FILE)}) {
    SetField(IDC_INPUT_FILE, "before");
    wxSetWorkingDirectory(scratch.path().string());
    DropFiles(*target, files);
    EXPECT_EQ(TextOf(window, IDC_INPUT_FILE), first);
    EXPECT_EQ(std::filesystem::current_path(), folder);
  }
  EXPECT_EQ(TextOf(window, IDC_INI_FILE), first);
}

TEST_F(MainDialog, EscapeAndTheCloseBoxSaveNothing) {
  WriteSettings("[Options]\nInput File=BEFORE.SCH\n");
  const std::string before = ReadWholeFile(settings_path);
  Open();
  EXPECT_EQ(RunModalWith(*dialog,
                         [&] {
                           SetField(IDC_INPUT_FILE, "AFTER.SCH");
                           PressKey(*dialog, WXK_ESCAPE);
                         }),
            wxID_CANCEL);
  EXPECT_EQ(RunModalWith(*dialog,
                         [&] {
                           Tick(IDC_BACKUP, true);
                           dialog->Close();
                         }),
            wxID_CANCEL);
  EXPECT_EQ(ReadWholeFile(settings_path), before);
}

TEST_F(MainDialog, EnterInAPathFieldExitsAndSaves) {
  Open();
  const int rc = RunModalWith(*dialog, [&] {
    SetField(IDC_INI_FILE, "ENTER.INI");
    wxWindow* field = dialog->FindWindow(IDC_INI_FILE);
    wxUIActionSimulator user;
    user.MouseMove(field->GetScreenRect().GetLeftTop() + wxPoint(10, 10));
    user.MouseClick();
    PumpEvents(100);
    user.Char(WXK_RETURN);
  });
  EXPECT_EQ(rc, wxID_OK);
  ASSERT_TRUE(SettingsSaved());
  EXPECT_NE(ReadWholeFile(settings_path).find("Ini\\ File=ENTER.INI\n"), std::string::npos);
}

TEST_F(MainDialog, ConvertReportsAFailedFileWithTheStopIconThenListsIt) {
  CConvertDlg& window = Open();
  SetField(IDC_INPUT_FILE, "GONE.SCH");
  SetField(IDC_INI_FILE, "./NONE.INI");
  wxTEST_DIALOG(
      Click(window, IDC_CONVERT),
      ExpectMessage("Convert", "ERROR: Unable to open input file!\nGONE.SCH", wxICON_ERROR),
      ExpectMessage("Convert", "GONE.SCH\nFinished with errors!", wxICON_NONE));
  EXPECT_EQ(TextOf(window, IDC_STATUS), "Status: Idle");
  EXPECT_FALSE(SettingsSaved());
}

// The beginning says what happens, the end which file; the window keeps its size.
TEST_F(MainDialog, ALongPathInTheStatusLineIsShortenedInTheMiddleWithinTheWindow) {
  CConvertDlg& window = Open();
  const wxSize size = window.GetSize();
  const std::string text = "Status: Converting /home/ann/" + std::string(300, 'x') + "/LAST&.SCH";
  window.ShowStatus(text.c_str());
  wxStaticText& status = *wxStaticCast(window.FindWindow(IDC_STATUS), wxStaticText);
  const wxString shown = TextOf(window, IDC_STATUS);
  EXPECT_TRUE(shown.StartsWith("Status: Conv")) << shown;
  EXPECT_TRUE(shown.EndsWith("xx/LAST&.SCH")) << shown;
  EXPECT_NE(shown.find("..."), wxString::npos) << shown;
  EXPECT_LE(status.GetTextExtent(shown).x, status.GetSize().x);
  EXPECT_TRUE(wxRect(window.GetClientSize()).Contains(status.GetRect()));
  EXPECT_EQ(window.GetSize(), size);
}

TEST_F(MainDialog, TheWindowTakesNoInputWhileARunLasts) {
  CConvertDlg& window = Open();
  SetField(IDC_INPUT_FILE, "GONE.SCH");
  SetField(IDC_INI_FILE, "./NONE.INI");
  wxString status_during_run;
  const auto poke_window = [&] {
    status_during_run = TextOf(window, IDC_STATUS);
    Click(window, IDC_CONVERT);  // a second run would show boxes nobody expects
    Click(window, IDC_BROWSE_INPUT);
    PressKey(window, WXK_F1);
    Click(window, wxID_OK);
    window.Close();
    PumpEvents(20);
  };
  wxTEST_DIALOG(Click(window, IDC_CONVERT),
                ExpectMessage("Convert", "ERROR: Unable to open input file!\nGONE.SCH",
                              wxICON_ERROR, poke_window),
                ExpectMessage("Convert", "GONE.SCH\nFinished with errors!", wxICON_NONE));
  EXPECT_NE(status_during_run, "Status: IDLE");
  EXPECT_TRUE(window.IsShown());
  EXPECT_FALSE(SettingsSaved());
  // Afterwards the window answers again.
  wxTEST_DIALOG(
      Click(window, IDC_CONVERT),
      ExpectMessage("Convert", "ERROR: Unable to open input file!\nGONE.SCH", wxICON_ERROR),
      ExpectMessage("Convert", "GONE.SCH\nFinished with errors!", wxICON_NONE));
}

TEST_F(MainDialog, BrowsePutsThePickedPathInItsFieldAndMovesToItsFolder) {
  std::filesystem::create_directories(scratch.path() / "work" / "ini");
  const std::string schematic = scratch.PathOf("work/Amp.sch");
  const std::string ini = scratch.PathOf("work/ini/msim.ini");
  WriteWholeFile(schematic, "*version 7.1\n");
  WriteWholeFile(ini, "[MICROSIM]\n");
  CConvertDlg& window = Open();
  wxTEST_DIALOG(Click(window, IDC_BROWSE_INPUT),
                ExpectFilePick("*.SCH", "SCH (*.SCH)|*.[Ss][Cc][Hh]|All files (*.*)|*", schematic));
  EXPECT_EQ(TextOf(window, IDC_INPUT_FILE), schematic);
  EXPECT_EQ(std::filesystem::current_path(), scratch.path() / "work");
  wxTEST_DIALOG(Click(window, IDC_BROWSE_INI),
                ExpectFilePick("*.INI", "INI (*.INI)|*.[Ii][Nn][Ii]|All files (*.*)|*", ini));
  EXPECT_EQ(TextOf(window, IDC_INI_FILE), ini);
  EXPECT_EQ(TextOf(window, IDC_INPUT_FILE), schematic);
  EXPECT_EQ(std::filesystem::current_path(), scratch.path() / "work" / "ini");
}

TEST_F(MainDialog, BrowseCompletesANameWithoutExtensionWithItsFieldsOne) {
  const std::string typed = scratch.PathOf("AMP");
  WriteWholeFile(typed, "");  // GTK's chooser reports only names that exist
  CConvertDlg& window = Open();
  wxTEST_DIALOG(Click(window, IDC_BROWSE_INPUT),
                ExpectFilePick("*.SCH", "SCH (*.SCH)|*.[Ss][Cc][Hh]|All files (*.*)|*", typed));
  EXPECT_EQ(TextOf(window, IDC_INPUT_FILE), typed + ".SCH");
  wxTEST_DIALOG(Click(window, IDC_BROWSE_INI),
                ExpectFilePick("*.INI", "INI (*.INI)|*.[Ii][Nn][Ii]|All files (*.*)|*", typed));
  EXPECT_EQ(TextOf(window, IDC_INI_FILE), typed + ".INI");
}

TEST_F(MainDialog, CancelledBrowseLeavesFieldAndFolderAsTheyWere) {
  CConvertDlg& window = Open();
  SetField(IDC_INPUT_FILE, "KEEP.SCH");
  wxTEST_DIALOG(Click(window, IDC_BROWSE_INPUT),
                ExpectFilePick("*.SCH", "SCH (*.SCH)|*.[Ss][Cc][Hh]|All files (*.*)|*", ""));
  wxTEST_DIALOG(Click(window, IDC_BROWSE_INI),
                ExpectFilePick("*.INI", "INI (*.INI)|*.[Ii][Nn][Ii]|All files (*.*)|*", ""));
  EXPECT_EQ(TextOf(window, IDC_INPUT_FILE), "KEEP.SCH");
  EXPECT_EQ(TextOf(window, IDC_INI_FILE), kDefaultIniPath);
  EXPECT_EQ(std::filesystem::current_path(), scratch.path());
}

// The long box as a test expects it: its text, and within the display's work area with its OK
// button; answered with OK.
class ExpectLongMessage : public wxExpectModalBase<LongMessageDlg, ExpectLongMessage> {
 public:
  explicit ExpectLongMessage(wxString text) : text_(std::move(text)) {}

 protected:
  int OnInvoked(LongMessageDlg* box) const override {
    EXPECT_EQ(box->GetTitle(), "Convert");
    EXPECT_EQ(box->GetMessage(), text_);
    const wxRect area = wxDisplay(box->GetParent()).GetClientArea();
    EXPECT_TRUE(area.Contains(box->GetScreenRect())) << box->GetScreenRect().height;
    const wxWindow* ok = box->FindWindow(wxID_OK);
    EXPECT_TRUE(ok != nullptr && ok->IsShown() && area.Contains(ok->GetScreenRect()));
    ExpectBoxLaidOut(*box, false);
    return wxID_OK;
  }

 private:
  wxString text_;
};

TEST_F(MainDialog, AClosingTextOfAHundredFilesComesInABoxThatFitsTheScreen) {
  CConvertDlg& window = Open();
  std::string text;
  for (int index = 0; index < 100; ++index) {
    text += "/home/ann/projects/amplifier/stage" + std::to_string(index) + "/PREAMP.SCH\n";
  }
  text += "Converted!";
  wxTEST_DIALOG(window.ShowLongMessage(text.c_str(), MessageKind::kNotice),
                ExpectLongMessage(wxString::FromUTF8(text)));
}

// A short closing text gave GTK's box a title cut to "C… rt" and an empty gap for an icon; a line
// wider than the screen goes to the scrolled box.
TEST_F(MainDialog, EachMessageBoxShowsItsCaptionAndTextWholeWithNoGapForAMissingIcon) {
  CConvertDlg& window = Open();
  wxTEST_DIALOG(window.ShowMessage("A.SCH\nConverted!", MessageKind::kNotice),
                ExpectMessage("Convert", "A.SCH\nConverted!", wxICON_NONE));
  wxTEST_DIALOG(window.ShowMessage("ERROR: Unable to open input file!\nA.SCH", MessageKind::kError),
                ExpectMessage("Convert", "ERROR: Unable to open input file!\nA.SCH", wxICON_ERROR));
  const std::string wide = std::string(2000, 'W') + ".SCH\nConverted!";
  wxTEST_DIALOG(window.ShowMessage(wide.c_str(), MessageKind::kNotice), ExpectLongMessage(wide));
}

void ExpectCentredOver(const wxRect& window, const wxRect& area) {
  const wxPoint centre = window.GetPosition() + window.GetSize() / 2;
  const wxPoint wanted = area.GetPosition() + area.GetSize() / 2;
  // Odd sizes halve with a pixel to spare either way.
  EXPECT_NEAR(centre.x, wanted.x, 1);
  EXPECT_NEAR(centre.y, wanted.y, 1);
}

TEST_F(MainDialog, OpensCentredOnTheWorkAreaAndItsAboutBoxCentredOverIt) {
  CConvertDlg& window = Open();
  ExpectCentredOver(window.GetScreenRect(), wxDisplay(&window).GetClientArea());
  CAboutDlg about(&window);
  about.Show();
  PumpEvents(50);
  ExpectCentredOver(about.GetScreenRect(), window.GetScreenRect());
}

// Counts the menus of the program's own that pop up, closing each at once as Esc would.
class PopupMenuWatch final : public wxEventFilter {
 public:
  PopupMenuWatch() { wxEvtHandler::AddFilter(this); }
  ~PopupMenuWatch() override { wxEvtHandler::RemoveFilter(this); }
  int FilterEvent(wxEvent& event) override {
    if (event.GetEventType() == wxEVT_MENU_OPEN) {
      ++opened;
      wxUIActionSimulator().Char(WXK_ESCAPE);
    }
    return Event_Skip;
  }
  int opened = 0;
};

// A right click on the control, then a left click on the window's empty corner, which closes
// any menu still open.
void RightClickOn(wxWindow& window, int id) {
  wxUIActionSimulator user;
  user.MouseMove(window.FindWindow(id)->GetScreenRect().GetLeftTop() + wxPoint(5, 5));
  user.MouseClick(wxMOUSE_BTN_RIGHT);
  PumpEvents(300);
  user.MouseMove(window.GetScreenRect().GetBottomRight() - wxPoint(2, 2));
  user.MouseClick();
  PumpEvents(100);
}

TEST_F(MainDialog, ARightClickInAPathFieldGivesItsOwnMenuAndOnALabelTheAboutMenu) {
  CConvertDlg& window = Open();
  for (const int field : {IDC_INPUT_FILE, IDC_INI_FILE}) {
    PopupMenuWatch watch;
    RightClickOn(window, field);
    EXPECT_EQ(watch.opened, 0) << field;
  }
  PopupMenuWatch watch;
  RightClickOn(window, IDC_STATUS);
  EXPECT_EQ(watch.opened, 1);
}

TEST_F(MainDialog, TheMenuKeysInAPathFieldLeaveItsOwnMenuAndElsewhereGiveTheAboutMenu) {
  CConvertDlg& window = Open();
  for (const int focus : {IDC_INPUT_FILE, IDC_INI_FILE, IDC_CONVERT}) {
    window.FindWindow(focus)->SetFocus();
    PumpEvents(50);
    PopupMenuWatch watch;
    PressKey(window, WXK_MENU);
    PressKey(window, WXK_F10, wxMOD_SHIFT);
    PumpEvents(100);
    EXPECT_EQ(watch.opened, focus == IDC_CONVERT ? 2 : 0) << focus;
  }
}

// The About box as a test expects it: its caption and owner, answered with OK.
class ExpectAboutBox : public wxExpectModalBase<CAboutDlg, ExpectAboutBox> {
 public:
  explicit ExpectAboutBox(const wxWindow* owner) : owner_(owner) {}

 protected:
  int OnInvoked(CAboutDlg* about) const override {
    EXPECT_EQ(about->GetTitle(), kIDD_ABOUTBOX.caption);
    EXPECT_EQ(about->GetParent(), owner_);
    return wxID_OK;
  }

 private:
  const wxWindow* owner_;
};

TEST_F(MainDialog, TheSystemMenuStandInHoldsTheAboutItem) {
  const std::unique_ptr<wxMenu> menu = Open().CreateSystemMenu();
  ASSERT_EQ(menu->GetMenuItemCount(), 1u);
  const wxMenuItem* item = menu->FindItemByPosition(0);
  EXPECT_EQ(item->GetId(), IDM_ABOUTBOX);
  EXPECT_EQ(item->GetItemLabel(), IDS_ABOUTBOX_TEXT);
}

TEST_F(MainDialog, TheAboutCommandAndF1OpenTheAboutBoxOwnedByTheWindow) {
  CConvertDlg& window = Open();
  wxCommandEvent about(wxEVT_MENU, IDM_ABOUTBOX);
  wxTEST_DIALOG(window.ProcessWindowEvent(about), ExpectAboutBox(&window));
  wxTEST_DIALOG(PressKey(window, WXK_F1), ExpectAboutBox(&window));
  wxCommandEvent other(wxEVT_MENU, IDM_ABOUTBOX + 0x20);
  window.ProcessWindowEvent(other);  // not the About command: no box
}

}  // namespace
}  // namespace kestrune::test
