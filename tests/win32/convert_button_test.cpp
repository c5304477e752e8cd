// The Convert button and the Browse buttons: a run from the fields, its boxes and status texts, the
// file pickers.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/scratch_dir.h"
#include "tests/win32/convert_dialog_fixture.h"

namespace kestrune::test {
namespace {

using Texts = std::vector<std::string>;

std::string Lowered(std::string text) {
  CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

std::string CurrentFolder() {
  char current[MAX_PATH];
  const DWORD length = GetCurrentDirectoryA(sizeof current, current);
  return Lowered(std::string(current, length < sizeof current ? length : 0));
}

class ConvertButton : public ConvertDialogTest {
 protected:
  // Opens the dialog with the two paths in its fields and the boxes as given.
  void OpenWith(const std::string& input, const std::string& ini, bool backups = false) {
    ASSERT_NE(Open(), nullptr);
    SetItemText(dialog_, IDC_INPUT_FILE, input);
    SetItemText(dialog_, IDC_INI_FILE, ini);
    if (backups) Click(dialog_, IDC_BACKUP);
  }

  ScratchDir scratch_;
};

TEST_F(ConvertButton, ConvertsTheNamedFileAndTellsTheVisitedFilesInAPlainBox) {
  WriteWholeFile(scratch_.path() / "AMP.SCH", "*version 7.1\r\n@setup\r\nx\r\n@index\r\n");
  const std::string input = scratch_.PathOf("AMP.SCH");
  OpenWith(input, scratch_.PathOf("NONE.INI"), true);
  ClickLater(dialog_, IDC_CONVERT);

  const MessageBoxContents box = AnswerMessageBox(*thread_);
  EXPECT_EQ(box.caption, "Convert");
  EXPECT_EQ(box.text, input + "\nConverted!");
  EXPECT_EQ(box.icon, nullptr);
  EXPECT_EQ(box.buttons, Texts{"OK"});
  EXPECT_EQ(box.owner, dialog_);
  EXPECT_FALSE(box.owner_enabled) << "the box must be modal to the dialog";

  EXPECT_TRUE(WaitForText(GetDlgItem(dialog_, IDC_STATUS), "Status: Idle"));
  EXPECT_TRUE(IsWindowEnabled(dialog_));
  EXPECT_EQ(ReadWholeFile(scratch_.path() / "AMP.SCH"), "*version 6.1\n@index\n");
  EXPECT_EQ(ReadWholeFile(scratch_.path() / "AMP.P71"),
            "*version 7.1\r\n@setup\r\nx\r\n@index\r\n");
  // A run neither reads nor writes the settings.
  Cancel(dialog_);
  EXPECT_TRUE(Ended());
  EXPECT_FALSE(Stored("Backup").has_value());
}

// While the error box is open, the status line shows the last text the run set.
TEST_F(ConvertButton, AFailureShowsAStopBoxAndTheRunStillEndsWithItsList) {
  WriteWholeFile(scratch_.path() / "PARTS.slb",
                 "*version 7.1\nPART=AMP\nDEFAULT=AMP.SCH\nPART=BUF\n");
  WriteWholeFile(
      scratch_.path() / "MSIM.INI",
      "[MICROSIM]\nLIBPATH=" + NativePath(scratch_.path()) + "\n[PART LIBS]\nLIB1=PARTS [.slb]\n");
  const std::string missing = scratch_.PathOf("MISSING.SCH");
  OpenWith(missing, scratch_.PathOf("MSIM.INI"));
  ClickLater(dialog_, IDC_CONVERT);

  const MessageBoxContents error = AnswerMessageBox(*thread_);
  EXPECT_EQ(error.caption, "Convert");
  EXPECT_EQ(error.text, "ERROR: Unable to open input file!\n" + missing);
  EXPECT_EQ(error.icon, LoadIconA(nullptr, IDI_HAND));
  EXPECT_EQ(error.buttons, Texts{"OK"});
  EXPECT_EQ(error.owner, dialog_);

  const MessageBoxContents closing = AnswerMessageBox(*thread_);
  EXPECT_EQ(closing.text, missing + "\nFinished with errors!");
  EXPECT_EQ(closing.icon, nullptr);
  EXPECT_TRUE(WaitForText(GetDlgItem(dialog_, IDC_STATUS), "Status: Idle"));
}

TEST_F(ConvertButton, StatusLineShowsTheLibrariesBeingLoaded) {
  WriteWholeFile(scratch_.path() / "PARTS.slb", "PART=AMP\nDEFAULT=x\nPART=BUF\nDEFAULT=y\n");
  WriteWholeFile(
      scratch_.path() / "MSIM.INI",
      "[MICROSIM]\nLIBPATH=" + NativePath(scratch_.path()) + "\n[PART LIBS]\nLIB1=PARTS\n");
  OpenWith(scratch_.PathOf("MISSING.SCH"), scratch_.PathOf("MSIM.INI"));
  ClickLater(dialog_, IDC_CONVERT);
  // The run waits in its error box; the status line shows where it got to.
  ASSERT_NE(thread_->WaitForOwnedDialog(dialog_), nullptr);
  EXPECT_EQ(ItemText(dialog_, IDC_STATUS), "Status: Loaded 2 parts");
  AnswerMessageBox(*thread_);
  AnswerMessageBox(*thread_);
  EXPECT_TRUE(WaitForText(GetDlgItem(dialog_, IDC_STATUS), "Status: Idle"));
}

// --- Browse ------------------------------------------------------------------------------

struct BrowseCase {
  int button;
  int field;
  const char* extension;
};

constexpr BrowseCase kBrowseCases[] = {{IDC_BROWSE_INPUT, IDC_INPUT_FILE, "SCH"},
                                       {IDC_BROWSE_INI, IDC_INI_FILE, "INI"}};

// Identifiers of the common file dialog's controls.
constexpr int kFileTypeList = 0x470;  // cmb1
constexpr int kFileNameBox = 0x47C;   // cmb13
constexpr int kReadOnlyBox = 0x410;   // chx1

class BrowseButton : public ConvertButton {
 protected:
  // Presses Browse and waits for the picker, modal to the dialog.
  HWND OpenPicker(const BrowseCase& browse) {
    ClickLater(dialog_, browse.button);
    const HWND picker = thread_->WaitForOwnedDialog(dialog_);
    EXPECT_NE(picker, nullptr);
    if (picker != nullptr) {
      EXPECT_FALSE(IsWindowEnabled(dialog_));
    }
    return picker;
  }
};

// The text of the file type list's entry at index.
std::string FileTypeEntry(HWND picker, int index) {
  char text[256] = "";
  const HWND list = GetDlgItem(picker, kFileTypeList);
  if (SendMessageA(list, CB_GETLBTEXTLEN, index, 0) >= static_cast<LRESULT>(sizeof text)) return "";
  SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
  return text;
}

TEST_F(BrowseButton, ThePickerOffersItsPatternThenAllFilesAndHidesReadOnly) {
  for (const BrowseCase& browse : kBrowseCases) {
    OpenWith("before", "before");
    const HWND picker = OpenPicker(browse);
    ASSERT_NE(picker, nullptr);
    const std::string pattern = std::string("*.") + browse.extension;
    EXPECT_EQ(ItemText(picker, kFileNameBox), pattern);
    EXPECT_NE(ItemText(picker, kFileTypeList).find(browse.extension), std::string::npos);
    EXPECT_EQ(SendDlgItemMessageA(picker, kFileTypeList, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(FileTypeEntry(picker, 1), "All files (*.*)");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(picker, kReadOnlyBox)));
    PostMessageA(picker, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntilGone(picker));
    // Cancelling leaves the field as it was.
    EXPECT_EQ(ItemText(dialog_, browse.field), "before");
    Cancel(dialog_);
    ASSERT_TRUE(Ended());
  }
}

TEST_F(BrowseButton, APickedFileFillsItsFieldAndBecomesTheCurrentFolder) {
  std::filesystem::create_directory(scratch_.path() / "work");
  // The scratch folder cannot go while it is the current one.
  struct RestoredFolder {
    ~RestoredFolder() { std::filesystem::current_path(previous); }
    std::filesystem::path previous = std::filesystem::current_path();
  } restored;
  for (const BrowseCase& browse : kBrowseCases) {
    const std::string name = std::string("PICKED.") + browse.extension;
    WriteWholeFile(scratch_.path() / "work" / name, "x");
    const std::string path = NativePath(scratch_.path() / "work" / name);
    OpenWith("before", "before");
    const HWND picker = OpenPicker(browse);
    ASSERT_NE(picker, nullptr);
    // As a user does: into the folder first, which becomes the current one, then the file.
    const std::string folder = NativePath(scratch_.path() / "work");
    SetItemText(picker, kFileNameBox, folder);
    PostMessageA(picker, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return CurrentFolder() == Lowered(folder); })) << CurrentFolder();
    SetItemText(picker, kFileNameBox, name);
    PostMessageA(picker, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntilGone(picker));
    EXPECT_TRUE(WaitForText(GetDlgItem(dialog_, browse.field), path))
        << ItemText(dialog_, browse.field);
    EXPECT_EQ(CurrentFolder(), Lowered(folder));
    Cancel(dialog_);
    ASSERT_TRUE(Ended());
  }
}

}  // namespace
}  // namespace kestrune::test
