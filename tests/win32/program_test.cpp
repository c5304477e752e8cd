// KESTRUNE.EXE itself, started as a program: its window, and its settings under the executable's
// own name.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "res/defaults.h"
#include "res/resource.h"
#include "tests/support/scratch_dir.h"
#include "tests/win32/convert_dialog_fixture.h"

namespace kestrune::test {
namespace {

struct FoundWindow {
  DWORD process;
  HWND window;
};

BOOL CALLBACK MatchMainWindow(HWND window, LPARAM context) {
  auto* wanted = reinterpret_cast<FoundWindow*>(context);
  DWORD owner_process = 0;
  GetWindowThreadProcessId(window, &owner_process);
  if (owner_process == wanted->process && IsWindowVisible(window) &&
      TextOf(window) == kMainCaption) {
    wanted->window = window;
  }
  return wanted->window == nullptr;
}

HWND WaitForMainWindowOf(DWORD process) {
  FoundWindow found{process, nullptr};
  const DWORD start = GetTickCount();
  while (found.window == nullptr && GetTickCount() - start < kWaitMilliseconds) {
    Sleep(20);
    EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&found));
  }
  return found.window;
}

// A copy of the built program under a name of the test's choosing, started in its folder.
class StartedProgram {
 public:
  StartedProgram(const ScratchDir& scratch, const std::string& file_name) {
    const std::filesystem::path copy = scratch.path() / file_name;
    std::filesystem::copy_file(KESTRUNE_EXE_PATH, copy,
                               std::filesystem::copy_options::overwrite_existing);
    std::string command = "\"" + NativePath(copy) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    const std::string folder = NativePath(scratch.path());
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process_)) {
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
  HWND WaitForWindow() const { return WaitForMainWindowOf(process_.dwProcessId); }
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

}  // namespace
}  // namespace kestrune::test
