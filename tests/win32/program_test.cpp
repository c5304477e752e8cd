// KESTRUNE.EXE itself, started as a program: its window, and its settings under the executable's
// own name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "res/defaults.h"
#include "res/resource.h"
#include "res/version.h"
#include "tests/support/scratch_dir.h"
#include "tests/win32/convert_dialog_fixture.h"

namespace kestrune::test {
namespace {

struct FoundWindow {
  DWORD process;
  const char* caption;
  HWND window;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  auto* wanted = reinterpret_cast<FoundWindow*>(context);
  DWORD owner_process = 0;
  GetWindowThreadProcessId(window, &owner_process);
  if (owner_process == wanted->process && IsWindowVisible(window) &&
      TextOf(window) == wanted->caption) {
    wanted->window = window;
  }
  return wanted->window == nullptr;
}

HWND WaitForWindowOf(DWORD process, const char* caption) {
  FoundWindow found{process, caption, nullptr};
  const DWORD start = GetTickCount();
  while (found.window == nullptr && GetTickCount() - start < kWaitMilliseconds) {
    Sleep(20);
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&found));
  }
  return found.window;
}

// A copy of the built program under a name of the test's choosing, started in its folder
// with the arguments given (already quoted) and, when given, that standard output.
class StartedProgram {
 public:
  StartedProgram(const ScratchDir& scratch, const std::string& file_name,
                 const std::string& arguments = "", HANDLE output = nullptr) {
    const std::filesystem::path copy = scratch.path() / file_name;
    std::filesystem::copy_file(KESTRUNE_EXE_PATH, copy,
                               std::filesystem::copy_options::overwrite_existing);
    std::string command = "\"" + NativePath(copy) + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (output != nullptr) {
      startup.dwFlags = STARTF_USESTDHANDLES;
      startup.hStdOutput = output;
      startup.hStdError = output;
    }
    const std::string folder = NativePath(scratch.path());
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, output != nullptr, 0, nullptr,
                        folder.c_str(), &startup, &process_)) {
      process_ = PROCESS_INFORMATION{};
    }
  }
  ~StartedProgram() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;

  bool started() const { return process_.hProcess != nullptr; }
  // The program's visible window of that caption, the main window by default.
  HWND WaitForWindow(const char* caption = kMainCaption) const {
    return WaitForWindowOf(process_.dwProcessId, caption);
  }
  // The exit code when the program ended in time, else -1.
  long WaitForExit() const {
    DWORD code = 0;
    if (WaitForSingleObject(process_.hProcess, kWaitMilliseconds) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process_.hProcess, &code)) {
      return -1;
    }
    return static_cast<long>(code);
  }

 private:
  PROCESS_INFORMATION process_{};
};

TEST(Program, KeepsItsSettingsUnderItsOwnFileName) {
  ScratchDir scratch;
  for (const char* file_name : {"KESTRUNE.EXE", "Renamed.exe"}) {
    SCOPED_TRACE(file_name);
    const std::string application = std::filesystem::path(file_name).stem().string();
    DeleteApplicationKey(application);
    const std::string input = std::string("C:\\FROM\\") + file_name;
    {
      const StartedProgram program(scratch, file_name);
      ASSERT_TRUE(program.started());
      const HWND window = program.WaitForWindow();
      ASSERT_NE(window, nullptr);
      EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
      EXPECT_EQ(ItemText(window, IDC_INI_FILE), kDefaultIniPath);
      SetItemText(window, IDC_INPUT_FILE, input);
      PostMessageA(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
      EXPECT_EQ(program.WaitForExit(), 0);
    }
    const auto stored = ReadStoredValue(OptionsKeyOf(application), "Input File");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->bytes, StringValue(input).bytes);
    EXPECT_EQ(ReadStoredValue(OptionsKeyOf(application), "Backup")->bytes, DwordValue(0).bytes);
    DeleteApplicationKey(application);
  }
}

TEST(Program, AFileNamedOnTheCommandLineFillsTheInputField) {
  ScratchDir scratch;
  DeleteApplicationKey("KESTRUNE");
  const StartedProgram program(scratch, "KESTRUNE.EXE", "\"C:\\MY WORK\\amp.sch\"");
  ASSERT_TRUE(program.started());
  const HWND window = program.WaitForWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(ItemText(window, IDC_INPUT_FILE), "C:\\MY WORK\\amp.sch");
  EXPECT_EQ(ItemText(window, IDC_INI_FILE), kDefaultIniPath);
  Cancel(window);
  EXPECT_EQ(program.WaitForExit(), 0);
}

// Started as a file manager starts it, from another folder: the example's relative library path
// and nested file resolve from the file's folder, as after a pick.
TEST(Program, AFileNamedOnTheCommandLineIsConvertedWithItsNestedFileAsIfPicked) {
  ScratchDir scratch;
  const std::filesystem::path folder = scratch.path() / "MY WORK";
  std::filesystem::create_directories(folder);
  std::filesystem::copy(KESTRUNE_EXAMPLES_DIR, folder);
  DeleteApplicationKey("FromFolder");
  StoreValue(OptionsKeyOf("FromFolder"), "Ini File", StringValue(".\\MSIM.INI"));
  StoreValue(OptionsKeyOf("FromFolder"), "Embeded", DwordValue(1));
  const StartedProgram program(scratch, "FromFolder.exe", "\"MY WORK\\AMP.SCH\"");
  ASSERT_TRUE(program.started());
  const HWND window = program.WaitForWindow();
  ASSERT_NE(window, nullptr);
  const std::string top = NativePath(folder / "AMP.SCH");
  EXPECT_EQ(ItemText(window, IDC_INPUT_FILE), top);
  PostMessageA(GetDlgItem(window, IDC_CONVERT), BM_CLICK, 0, 0);
  const HWND box = program.WaitForWindow("Convert");
  ASSERT_NE(box, nullptr);
  // The static text of a message box has the identifier 0xFFFF.
  EXPECT_EQ(ItemText(box, 0xFFFF), top + "\nFILTER.SCH\nConverted!");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  for (const char* name : {"AMP.SCH", "FILTER.SCH"}) {
    EXPECT_EQ(ReadWholeFile(folder / name).rfind("*version 6.1 ", 0), 0u) << name;
  }
  Cancel(window);
  EXPECT_EQ(program.WaitForExit(), 0);
  DeleteApplicationKey("FromFolder");
}

// The end of the session while a nested file's error box is open, with the top file's
// temporary file there: the program removes it and ends, and the top file keeps its bytes.
TEST(Program, TheSessionsEndDuringARunLeavesNoTemporaryFile) {
  ScratchDir scratch;
  DeleteApplicationKey("KESTRUNE");
  const std::string top = "*version 7.1\r\n@index\r\nPART=AMP\r\n";
  WriteWholeFile(scratch.path() / "TOP.SCH", top);
  WriteWholeFile(scratch.path() / "AMP.SCH", "no schematic\r\n");
  WriteWholeFile(scratch.path() / "PARTS.slb", "*version 7.1\nPART=AMP\nDEFAULT=AMP.SCH\n");
  WriteWholeFile(scratch.path() / "MSIM.INI", "[MICROSIM]\nLIBPATH=" + NativePath(scratch.path()) +
                                                  "\n[PART LIBS]\nLIB1=PARTS [.slb]\n");
  const StartedProgram program(scratch, "KESTRUNE.EXE");
  ASSERT_TRUE(program.started());
  const HWND window = program.WaitForWindow();
  ASSERT_NE(window, nullptr);
  SetItemText(window, IDC_INPUT_FILE, scratch.PathOf("TOP.SCH"));
  SetItemText(window, IDC_INI_FILE, scratch.PathOf("MSIM.INI"));
  SendMessageA(GetDlgItem(window, IDC_EMBEDDED), BM_SETCHECK, BST_CHECKED, 0);
  PostMessageA(GetDlgItem(window, IDC_CONVERT), BM_CLICK, 0, 0);
  ASSERT_NE(program.WaitForWindow("Convert"), nullptr) << "no error box";
  EXPECT_TRUE(std::filesystem::exists(scratch.path() / "TOP.TMP"));

  PostMessageA(window, WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(program.WaitForExit(), 0);
  EXPECT_FALSE(std::filesystem::exists(scratch.path() / "TOP.TMP"));
  EXPECT_EQ(ReadWholeFile(scratch.path() / "TOP.SCH"), top);
  DeleteApplicationKey("KESTRUNE");
}

// What the program writes to its standard output, and its exit code, when started so.
struct ProgramAnswer {
  std::string output;
  long exit_code;
};

ProgramAnswer AnswerOf(const ScratchDir& scratch, const std::string& arguments) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  const std::string output_path = NativePath(scratch.path() / "output.txt");
  const HANDLE output = CreateFileA(output_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                    CREATE_ALWAYS, 0, nullptr);
  long exit_code = -1;
  {
    const StartedProgram program(scratch, "KESTRUNE.EXE", arguments, output);
    if (program.started()) exit_code = program.WaitForExit();
  }
  CloseHandle(output);
  return ProgramAnswer{ReadWholeFile(scratch.path() / "output.txt"), exit_code};
}

TEST(Program, HelpAndVersionAnswerOnStandardOutputWithoutAWindow) {
  ScratchDir scratch;
  const ProgramAnswer help = AnswerOf(scratch, "--help");
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.output.rfind("Usage: KESTRUNE ", 0), 0u) << help.output;
  const ProgramAnswer version = AnswerOf(scratch, "--version");
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.output.rfind("KESTRUNE " KESTRUNE_VERSION_TEXT "\n", 0), 0u) << version.output;
  EXPECT_NE(version.output.find("licence"), std::string::npos) << version.output;
  const ProgramAnswer refused = AnswerOf(scratch, "--bogus");
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_NE(refused.output.find("--bogus"), std::string::npos) << refused.output;
}

}  // namespace
}  // namespace kestrune::test
