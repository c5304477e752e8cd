// The main dialog's settings: shown when it opens, saved in the registry on Exit and Enter, never
// on Esc or close.
#include <gtest/gtest.h>

#include <string>

#include "app/common/convert_dialog_presenter.h"
#include "res/defaults.h"
#include "res/resource.h"
#include "tests/win32/convert_dialog_fixture.h"

namespace kestrune::test {
namespace {

using SettingsDialog = ConvertDialogTest;

bool Ticked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

TEST_F(SettingsDialog, FirstStartShowsTheDefaultsAndFocusesTheInputField) {
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(ItemText(dialog_, IDC_INPUT_FILE), "");
  EXPECT_EQ(ItemText(dialog_, IDC_INI_FILE), kDefaultIniPath);
  EXPECT_FALSE(Ticked(dialog_, IDC_BACKUP));
  EXPECT_FALSE(Ticked(dialog_, IDC_EMBEDDED));
  EXPECT_EQ(ItemText(dialog_, IDC_STATUS), "Status: IDLE");
  GUITHREADINFO focus{};
  focus.cbSize = sizeof focus;
  ASSERT_TRUE(GetGUIThreadInfo(thread_->id(), &focus));
  EXPECT_EQ(focus.hwndFocus, GetDlgItem(dialog_, IDC_INPUT_FILE));
  // Reading the settings writes none.
  Cancel(dialog_);
  EXPECT_TRUE(Ended());
  EXPECT_FALSE(Stored("Input File").has_value());
}

TEST_F(SettingsDialog, ExitSavesTheFieldsWholeAsStringsAndTheBoxesAsDwords) {
  ASSERT_NE(Open(), nullptr);
  const std::string long_path = "C:\\" + std::string(1000, 'p') + ".SCH";
  SetItemText(dialog_, IDC_INPUT_FILE, long_path);
  SetItemText(dialog_, IDC_INI_FILE, "D:\\TOOLS\\MSIM.INI");
  Click(dialog_, IDC_BACKUP);
  Click(dialog_, IDOK);
  ASSERT_TRUE(Ended());
  EXPECT_FALSE(IsWindow(dialog_));

  const auto input = Stored("Input File");
  ASSERT_TRUE(input.has_value());
  EXPECT_EQ(input->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(input->bytes, long_path + '\0');
  const auto ini = Stored("Ini File");
  ASSERT_TRUE(ini.has_value());
  EXPECT_EQ(ini->bytes, std::string("D:\\TOOLS\\MSIM.INI") + '\0');
  EXPECT_EQ(Stored("Backup")->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(Stored("Backup")->bytes, DwordValue(1).bytes);
  EXPECT_EQ(Stored("Embeded")->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(Stored("Embeded")->bytes, DwordValue(0).bytes);
}

TEST_F(SettingsDialog, StoredValuesAreShown) {
  Store("Input File", StringValue("C:\\WORK\\AMP.SCH"));
  Store("Ini File", StringValue("C:\\MSIM\\MSIM.INI"));
  Store("Backup", DwordValue(7));
  Store("Embeded", DwordValue(0xFFFFFFFF));
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(ItemText(dialog_, IDC_INPUT_FILE), "C:\\WORK\\AMP.SCH");
  EXPECT_EQ(ItemText(dialog_, IDC_INI_FILE), "C:\\MSIM\\MSIM.INI");
  EXPECT_TRUE(Ticked(dialog_, IDC_BACKUP));
  EXPECT_TRUE(Ticked(dialog_, IDC_EMBEDDED));
}

TEST_F(SettingsDialog, AnExitWhoseSettingsCannotBeSavedShowsAnErrorAndStaysOpen) {
  application_ = std::string(300, 'k');  // longer than a registry key's name may be
  ASSERT_NE(Open(), nullptr);
  ClickLater(dialog_, IDOK);
  const MessageBoxContents box = AnswerMessageBox(*thread_);
  EXPECT_EQ(box.caption, kMessageCaption);
  EXPECT_EQ(box.text, kSettingsNotSavedText);
  EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_HAND));
  EXPECT_EQ(box.owner, dialog_);
  EXPECT_TRUE(IsWindowVisible(dialog_));
}

// Esc, the close box and the system menu's Close leave the stored values as they were.
TEST_F(SettingsDialog, LeavingWithoutExitSavesNothing) {
  Store("Input File", StringValue("C:\\BEFORE.SCH"));
  Store("Backup", DwordValue(0));
  const auto leave_by_escape = [](HWND dialog) {
    PressKey(GetDlgItem(dialog, IDC_INPUT_FILE), VK_ESCAPE);
  };
  const auto leave_by_close = [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); };
  for (const auto& leave : {+leave_by_escape, +leave_by_close}) {
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(ItemText(dialog_, IDC_INPUT_FILE), "C:\\BEFORE.SCH");
    SetItemText(dialog_, IDC_INPUT_FILE, "C:\\CHANGED.SCH");
    Click(dialog_, IDC_BACKUP);
    leave(dialog_);
    ASSERT_TRUE(Ended());
    EXPECT_EQ(Stored("Input File")->bytes, StringValue("C:\\BEFORE.SCH").bytes);
    EXPECT_EQ(Stored("Backup")->bytes, DwordValue(0).bytes);
    EXPECT_FALSE(Stored("Ini File").has_value());
  }
}

TEST_F(SettingsDialog, EnterInEitherPathFieldSavesAndCloses) {
  for (const int field : {IDC_INPUT_FILE, IDC_INI_FILE}) {
    ASSERT_NE(Open(), nullptr);
    const std::string text = "C:\\ENTERED" + std::to_string(field) + ".SCH";
    SetItemText(dialog_, IDC_INPUT_FILE, text);
    PressKey(GetDlgItem(dialog_, field), VK_RETURN);
    ASSERT_TRUE(Ended()) << field;
    EXPECT_EQ(Stored("Input File")->bytes, StringValue(text).bytes);
  }
}

// Values of another type than the program writes read as absent.
TEST_F(SettingsDialog, ValuesOfTheWrongTypeGiveTheDefaults) {
  Store("Ini File", DwordValue(5));
  Store("Backup", StringValue("1"));
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(ItemText(dialog_, IDC_INI_FILE), kDefaultIniPath);
  EXPECT_FALSE(Ticked(dialog_, IDC_BACKUP));
}

}  // namespace
}  // namespace kestrune::test
