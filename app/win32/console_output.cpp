// Text for the console the program was started from, though a windowed program has none of its own.
#include "app/win32/console_output.h"

#include "app/common/convert_dialog_view.h"

namespace kestrune {

namespace {

bool WriteAll(HANDLE handle, const std::string& text) {
  DWORD written = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

bool WriteToParentConsole(const std::string& text) {
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  const HANDLE console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
  const bool written = WriteAll(console, text);
  if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
  return written;
}

}  // namespace

void WriteToConsole(DWORD standard_handle, const std::string& text) {
  if (WriteAll(GetStdHandle(standard_handle), text) || WriteToParentConsole(text)) return;
  MessageBoxA(nullptr, text.c_str(), kMessageCaption, MB_OK);
}

}  // namespace kestrune
